// SPDX-License-Identifier: MIT
#pragma once

#include "monitor/MailCallSites.h"

#include <chrono>
#include <functional>
#include <string>
#include <vector>

// Records every message handed to it, in order, and answers with `reply`.
class FakeMailLibrary : public MailLibrary
{
public:
    struct Call
    {
        std::string server, recipient, sender, subject, body, sixth;
        std::chrono::milliseconds timeLeft{};
    };
    std::vector<Call> calls;
    std::string reply = "OK";
    // Runs after a call has been recorded, before it returns (to change the window meanwhile).
    std::function<void(const Call&)> onSend;

    using MailLibrary::SendMail;
    std::string SendMail(const std::string& server, const std::string& recipient, const std::string& sender,
                         const std::string& subject, const std::string& body, const std::string& sixth,
                         std::chrono::milliseconds timeLeft) override
    {
        calls.push_back({server, recipient, sender, subject, body, sixth, timeLeft});
        if (onSend) {
            onSend(calls.back());
        }
        return reply;
    }
};
