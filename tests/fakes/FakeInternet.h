// SPDX-License-Identifier: MIT
#pragma once

#include "monitor/InternetClient.h"

#include <string>
#include <vector>

// An internet client that plays a script: any step can be made to fail, and the body is served in
// pieces of at most servePiece bytes. Every call and every close is recorded in order.
class FakeInternetClient : public InternetClient
{
public:
    bool failSession = false;
    bool refuseTimeout = false;
    bool failOpen = false;
    std::string body;
    std::size_t servePiece = 4096;
    bool failAfterBody = false; // the read after the last byte of body fails instead of ending

    // "session <agent>|<proxy>", "timeout <ms>", "open <url>", "read <asked>", "close request",
    // "close session".
    std::vector<std::string> events;
    int sessionsOpen = 0;
    int requestsOpen = 0;

    std::unique_ptr<InternetSession> openSession(const std::string& agent, const std::string& proxy) override;

    // The events that start with the prefix.
    std::vector<std::string> eventsStarting(const std::string& prefix) const;
};
