// SPDX-License-Identifier: MIT
#pragma once

#include "net/CurlInternetClient.h"
#include "net/CurlMailer.h"
#include "shell/Form1.h"
#include "support/ProxyFreeEnvironment.h"

#include <chrono>
#include <string>
#include <vector>

// The network part of a RunningWatchdog made real: libcurl fetches the page and sends the mail, with
// the environment's proxy variables cleared. The mail gives up after 2 s, so a test of a server that
// stalls is quick.
struct RealNetwork
{
    explicit RealNetwork(CurlFetchLimits limits = {}) : internet(limits) {}

    // The account comes from the window, as the program wires it.
    void connect(Form1& form)
    {
        mail.setCredentials([&form] { return MailAccount{form.txtAcount.Text, form.txtPass.Text}; });
    }

    ProxyFreeEnvironment noProxy;
    std::vector<std::string> mailReports; // what the mail reported, in order
    CurlInternetClient internet;
    CurlMailer mail{[this] {
        CurlMailer::Options options;
        options.connectTimeout = std::chrono::seconds(2);
        options.totalTimeout = std::chrono::seconds(2);
        options.report = [this](ReportKind, const std::string& text) { mailReports.push_back(text); };
        return options;
    }()};
};
