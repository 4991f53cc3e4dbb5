// SPDX-License-Identifier: MIT
#pragma once

#include "common/OperatorReport.h"
#include "monitor/MailCallSites.h"

#include <chrono>
#include <functional>
#include <string>

// The account the mail is sent under, as the window holds it at the moment of sending.
struct MailAccount
{
    std::string account;
    std::string password;
};

// SendMail over libcurl's SMTP, one connection per message.
//
// The server text is "host", "host:port" or an smtp:// or smtps:// URL (port 25 by default). The
// envelope addresses are the sender and recipient with spaces around them removed, or the text inside
// their last "<...>" (EnvelopeAddress); one that holds a space, "<", ">", "," or a control character
// is refused with the reason, and the headers show the fields as typed. STARTTLS is used
// whenever the server offers it; certificates are verified against the system's store, except for a
// loopback server, whose self-signed certificate is normal for a local relay. AUTH uses the account
// and password read at send time, when both hold more than spaces and the server offers AUTH, but a
// password never travels in clear to a host other than loopback: without TLS such a host gets the
// message without AUTH, and the returned text says so. Every message is bounded in connect time and
// in total time, and never outlasts the time its caller has left. A failure is returned as a text and
// handed to the reporter, with the server's reason.
class CurlMailer : public MailLibrary
{
public:
    struct Options
    {
        std::chrono::milliseconds connectTimeout{std::chrono::seconds(10)};
        std::chrono::milliseconds totalTimeout{std::chrono::seconds(20)};
        // Decides which hosts count as this machine; IsLoopbackHost by default.
        std::function<bool(const std::string& host)> isLoopback;
        // Where failures (MailNotSent) and a message sent without AUTH (MailSentWithoutAuth) go for
        // the operator; standard error by default.
        std::function<void(ReportKind, const std::string&)> report;
        // A PEM file of trusted certificates in place of the system's store; empty for the store.
        std::string caFile;
        // Called at least once a second while a message is under way (a service's keepalive to its
        // supervisor); the message's bounds still end it.
        std::function<void()> whileWaiting;
    };

    explicit CurlMailer(Options options);
    CurlMailer() : CurlMailer(Options{}) {}

    // The account and password, asked for at every message; without it no AUTH is made.
    void setCredentials(std::function<MailAccount()> credentials) { m_credentials = std::move(credentials); }

    // `sixth` is reserved and ignored. Returns "OK", "OK without AUTH: <why>", or why the message was not
    // taken.
    using MailLibrary::SendMail;
    std::string SendMail(const std::string& server, const std::string& recipient, const std::string& sender,
                         const std::string& subject, const std::string& body, const std::string& sixth,
                         std::chrono::milliseconds timeLeft) override;

private:
    Options m_options;
    std::function<MailAccount()> m_credentials;
};
