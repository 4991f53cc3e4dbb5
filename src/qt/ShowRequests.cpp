// SPDX-License-Identifier: MIT
#include "qt/ShowRequests.h"

#include "posix/PeerCredentials.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QTimer>
#include <utility>

namespace {

const QByteArray Request = "show\n";
constexpr int AnswerBoundMs = 1000;
constexpr int SilenceBoundMs = 2000;

} // namespace

ShowRequests::ShowRequests(const QString& path, std::function<void()> onRequest, QObject* parent)
    : QObject(parent), m_onRequest(std::move(onRequest))
{
    // Made in a folder of its own with the owner's rights alone, then moved into place.
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    // Whoever listened there before has ended: this process holds the folder's lock.
    QLocalServer::removeServer(path);
    if (m_server.listen(path)) {
        connect(&m_server, &QLocalServer::newConnection, this, &ShowRequests::accept);
    }
}

void ShowRequests::accept()
{
    while (QLocalSocket* socket = m_server.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        if (!PeerIsOwnUserOrRoot(static_cast<int>(socket->socketDescriptor()))) {
            socket->abort();
            continue;
        }
        QTimer::singleShot(SilenceBoundMs, socket, [socket] { socket->abort(); });
        auto read = [this, socket] {
            if (socket->bytesAvailable() < Request.size()) {
                return;
            }
            const bool asked = socket->read(Request.size()) == Request && socket->bytesAvailable() == 0;
            socket->abort();
            if (asked) {
                m_onRequest();
            }
        };
        connect(socket, &QLocalSocket::readyRead, socket, read);
        read();
    }
}

QString ShowRequestPath(const QString& installFolder)
{
    QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (runtime.isEmpty()) {
        runtime = QDir::tempPath();
    }
    const QByteArray folder = QDir::cleanPath(installFolder).toUtf8();
    const QByteArray key = QCryptographicHash::hash(folder, QCryptographicHash::Sha256).toHex().left(16);
    return runtime + "/sentrybell-" + QString::fromLatin1(key);
}

bool AskRunningProgramToShow(const QString& path)
{
    QLocalSocket socket;
    socket.connectToServer(path);
    if (!socket.waitForConnected(AnswerBoundMs)) {
        return false;
    }
    socket.write(Request);
    const bool sent = socket.waitForBytesWritten(AnswerBoundMs);
    socket.disconnectFromServer();
    return sent;
}
