// SPDX-License-Identifier: MIT
#pragma once

#include "support/TemporaryFolder.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// A real SMTP server on 127.0.0.1 at a free port, for tests: Debian's aiosmtpd run by /usr/bin/python3,
// recording every message and every AUTH attempt. Like a strict server it refuses a MAIL FROM or RCPT TO
// path with spaces inside its angle brackets. Started by the constructor, stopped by stop() or the
// destructor. Two modes need no SMTP at all: Silent accepts connections and never says a word, Closed
// refuses them. Two more fail in mid-dialogue: StallAfterGreeting and DropInData.
class SmtpTestServer
{
public:
    enum class Mode
    {
        Plain,              // no TLS
        StartTls,           // STARTTLS offered, with a self-signed certificate for 127.0.0.1 and localhost
        ImplicitTls,        // TLS from the first byte (an smtps:// server), same certificate
        Silent,             // accepts the TCP connection, never greets
        Closed,             // the port refuses connections
        StallAfterGreeting, // greets, then never answers again
        DropInData,         // takes the envelope, then closes the connection once the message begins
    };

    struct Options
    {
        Mode mode = Mode::Plain;
        // Offer AUTH PLAIN and LOGIN: over plain TCP from the start (so a careless client could send a
        // password in clear), with StartTls only after STARTTLS.
        bool offerAuth = false;
        std::string user = "alerts";
        std::string password = "s3cret pass";
        // A RCPT TO address containing this text is refused with 550.
        std::string rejectRecipient;
    };

    // One message as the server took it.
    struct Mail
    {
        std::string mailFrom;                // MAIL FROM address without angle brackets; empty for "<>"
        std::vector<std::string> recipients; // RCPT TO addresses, in order
        std::string authenticatedAs;         // the login of a successful AUTH, empty without one
        bool overTls = false;
        std::string data;    // the message after DATA, dot-unstuffed, as the client wrote it
        std::string subject; // the Subject header, RFC 2047 words decoded
        std::string body;    // the body with its transfer encoding undone

        // Header fields of `data` in order, unfolded; names as written.
        std::vector<std::pair<std::string, std::string>> headers() const;
        // The value of the first header of that name (any case), or nothing.
        std::string header(std::string_view name) const;
    };

    struct AuthAttempt
    {
        std::string mechanism;
        std::string login;
        std::string password;
        bool overTls = false;
        bool accepted = false;
    };

    // Throws std::runtime_error when the server cannot be started.
    explicit SmtpTestServer(Options options);
    explicit SmtpTestServer(Mode mode = Mode::Plain) : SmtpTestServer(optionsFor(mode)) {}
    ~SmtpTestServer();
    SmtpTestServer(const SmtpTestServer&) = delete;
    SmtpTestServer& operator=(const SmtpTestServer&) = delete;

    std::string host() const { return "127.0.0.1"; }
    std::uint16_t port() const { return m_port; }
    // "127.0.0.1:<port>", the form an operator types into the server field.
    std::string address() const;
    // The certificate of the TLS modes (PEM), to trust it explicitly; empty otherwise.
    std::string certificateFile() const;

    // Everything recorded so far. A message is recorded before the server acknowledges it, so once a
    // client's send has returned, its message is here.
    std::vector<Mail> mails() const;
    std::vector<AuthAttempt> authAttempts() const;
    // DropInData: what had arrived of each message when the server closed the connection.
    std::vector<std::string> droppedMessages() const;
    // Waits until at least `count` messages are recorded or `bound` has passed; true in the first case.
    bool waitForMails(std::size_t count, std::chrono::milliseconds bound) const;

    // Stops the server and waits for it to end; further calls do nothing.
    void stop();

private:
    static Options optionsFor(Mode mode)
    {
        Options options;
        options.mode = mode;
        return options;
    }
    void startAiosmtpd();
    void startSocketOnly();
    std::vector<std::vector<std::string>> records() const;

    Options m_options;
    TemporaryFolder m_folder{"sentrybell-smtp"};
    std::uint16_t m_port = 0;
    int m_pid = -1;
    int m_socket = -1;
};
