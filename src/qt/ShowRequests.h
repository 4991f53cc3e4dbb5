// SPDX-License-Identifier: MIT
#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>
#include <functional>

// How another start of the program from the same folder reaches the running one: a local socket in
// the user's runtime folder, named for the install folder (ShowRequestPath), on which only the holder
// of the folder's one-instance lock listens. The start that finds the lock held sends one request,
// "show the window" (AskRunningProgramToShow); the running program then runs `onRequest`. It takes
// nothing else, and nothing from a process of another user than its own or root: such a connection,
// one that sends anything else, or one that says nothing for two seconds, is closed having done
// nothing. A program that holds the lock without listening (the headless service) is simply not
// reached, and the new start only says that a watchdog runs.
class ShowRequests : public QObject
{
public:
    ShowRequests(const QString& path, std::function<void()> onRequest, QObject* parent = nullptr);

    // False when the socket could not be made: other starts then only say that a watchdog runs.
    bool listening() const { return m_server.isListening(); }
    QString problem() const { return m_server.errorString(); }

private:
    void accept();

    QLocalServer m_server;
    std::function<void()> m_onRequest;
};

// The socket's path for an install folder: in the runtime folder of the user (0700, cleared when the
// user's last session ends), with a name that depends on the folder alone.
QString ShowRequestPath(const QString& installFolder);

// Sends the request to the program listening there; false when none took it within a second.
bool AskRunningProgramToShow(const QString& path);
