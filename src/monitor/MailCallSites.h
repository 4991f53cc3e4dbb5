// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

// The two calls through which the alert mail goes out: sending one message, and splitting the CC
// list. Texts are UTF-8.

// Sends one message.
class MailLibrary
{
public:
    virtual ~MailLibrary() = default;
    // Sends `body` with `subject` from `sender` to `recipient` through the SMTP server named by
    // `server`; `sixth` is reserved and passed empty. Blocks until the server has taken the message,
    // or until `timeLeft` (what the caller has left of its own bound) or the adapter's own time bounds
    // have run out, whichever comes first. Returns "OK" when the message was taken, otherwise a text
    // saying why not (the adapter also writes it where the operator can find it). Never throws.
    virtual std::string SendMail(const std::string& server, const std::string& recipient, const std::string& sender,
                                 const std::string& subject, const std::string& body, const std::string& sixth,
                                 std::chrono::milliseconds timeLeft) = 0;

    // The same within the adapter's own bounds alone.
    std::string SendMail(const std::string& server, const std::string& recipient, const std::string& sender,
                         const std::string& subject, const std::string& body, const std::string& sixth)
    {
        return SendMail(server, recipient, sender, subject, body, sixth, std::chrono::milliseconds::max());
    }
};

// Splits `text` at every match of the regular expression written between the slashes of `pattern`
// ("/\;/" splits at each semicolon), keeping every piece in order, empty ones included (a trailing
// separator leaves an empty last piece). A pattern without slashes is taken whole. Sets `count` to
// the number of pieces. An empty text gives no pieces; an empty match separates nothing; a pattern
// that is not a valid expression leaves the text as one piece.
std::vector<std::string> Split(const std::string& pattern, const std::string& text, std::int32_t& count);
