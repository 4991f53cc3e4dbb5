// SPDX-License-Identifier: MIT
#pragma once

#include "posix/UniqueFd.h"

#include <csignal>
#include <initializer_list>
#include <utility>
#include <vector>

// Turns signals into bytes on a pipe that an event loop watches with the rest of its work. The
// handler only writes the signal's number and returns, so whatever the program was doing when the
// signal came (a check, an alert) runs on to its end, and the loop acts on the signal afterwards.
// The handlers are the process's: one SignalPipe at a time, which puts the previous handlers back
// when it goes. The pipe is not inherited by the commands the program starts, and a signal handled
// here is back to its default in them.
class SignalPipe
{
public:
    // Catches `signals` from now on. Throws std::runtime_error when the pipe cannot be made.
    explicit SignalPipe(std::initializer_list<int> signals);
    ~SignalPipe();
    SignalPipe(const SignalPipe&) = delete;
    SignalPipe& operator=(const SignalPipe&) = delete;

    // Readable while a signal waits to be taken.
    int fd() const { return m_read.get(); }
    // The signals that came since the last call, in the order they came; empty when none did.
    std::vector<int> take();

private:
    UniqueFd m_read;
    UniqueFd m_write;
    std::vector<std::pair<int, struct sigaction>> m_previous;
};

// A write that cannot be made then fails with an error instead of ending the program: to a pipe or
// socket whose reader has gone (SIGPIPE: standard error of a closed terminal or journal, a TLS
// connection the server dropped), or past the file size limit (SIGXFSZ: the log under a LimitFSIZE).
void IgnoreFailedWriteSignals();
