// SPDX-License-Identifier: MIT
#pragma once

// True when the process at the other end of a connected local socket runs as this process's
// effective user or as root (the kernel's record of the peer when it connected, SO_PEERCRED); false
// for anyone else and for a descriptor that is no such socket.
bool PeerIsOwnUserOrRoot(int socketFd);
