// SPDX-License-Identifier: MIT
#include "posix/PeerCredentials.h"

#include <sys/socket.h>
#include <unistd.h>

bool PeerIsOwnUserOrRoot(int socketFd)
{
    struct ucred peer
    {
    };
    socklen_t size = sizeof(peer);
    if (::getsockopt(socketFd, SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0 || size != sizeof(peer)) {
        return false;
    }
    return peer.uid == ::geteuid() || peer.uid == 0;
}
