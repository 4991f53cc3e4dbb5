// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// An SMTP server that scripts/test-windows starts on the Linux side before the Windows tests run:
// tests/support/smtp_test_server.py (aiosmtpd) on 127.0.0.1, which a Wine program reaches like any
// other local server. Each is named to the tests by an environment variable
// SENTRYBELL_SMTP_<NAME>="<port>;<record file>;<certificate file>" (Windows paths). The servers are
// shared by tests that run at the same time, so a test tells its own messages by their recipients.
class SmtpPeer
{
public:
    struct Mail
    {
        std::string mailFrom;
        std::vector<std::string> recipients;
        std::string authenticatedAs; // the login of a successful AUTH, empty without one
        bool overTls = false;
        std::string data;    // the message after DATA, as the client wrote it
        std::string subject; // decoded
        std::string body;    // with its transfer encoding undone
    };

    // The server of that name ("PLAIN", "STARTTLS", ...), or nothing when the variable is missing.
    static std::optional<SmtpPeer> find(const std::string& name);

    std::uint16_t port() const { return m_port; }
    std::string address(const std::string& host = "127.0.0.1") const;
    // The server's own self-signed certificate (PEM), to trust it explicitly.
    const std::string& certificateFile() const { return m_certificate; }

    // Every message recorded so far with one of its envelope recipients starting with `prefix`.
    std::vector<Mail> mailsTo(const std::string& prefix) const;
    // Waits, at most `bound`, for `count` such messages; returns those there are then.
    std::vector<Mail> waitForMailsTo(const std::string& prefix, std::size_t count,
                                     std::chrono::milliseconds bound) const;

private:
    std::uint16_t m_port = 0;
    std::string m_record;
    std::string m_certificate;
};

// The start of recipient addresses that no other test uses: "<what>.<process id>.<time>.<count>".
std::string UniqueMailbox(const std::string& what);
