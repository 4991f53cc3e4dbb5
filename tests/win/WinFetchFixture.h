// SPDX-License-Identifier: MIT
#pragma once

#include "fakes/FormHarness.h"
#include "monitor/FetchCheckPage.h"
#include "net/CurlInternetClient.h"
#include "shell/Form1.h"
#include "support/TemporaryFolder.h"
#include "win/WinEnvironment.h"
#include "win/WinFileSystem.h"
#include "win/WinFiles.h"
#include "win/WinLoopbackHttpServer.h"
#include "win/WinTextEncoding.h"

#include <chrono>
#include <gtest/gtest.h>
#include <string>

// FetchCheckPage as the Windows program runs it: the libcurl client, the Windows files, environment
// and encoding, and a save folder of the test's own.
class WinFetchFixture : public testing::Test
{
protected:
    // One fetch as the check cycle makes it, with the window's fields set as given.
    int fetch(const std::string& url, const std::string& timeout = "2", const std::string& proxy = "")
    {
        CurlInternetClient client({}, systemProxy);
        Form1 form(
            fakes.services({.environment = &environment, .files = &files, .encoding = &encoding, .internet = &client}));
        form.txtUrl.Text = url;
        form.txtTimeout.Text = timeout;
        form.txtProxy.Text = proxy;
        form.txtParaPath.Text = folder.path();
        const auto start = std::chrono::steady_clock::now();
        const int outcome = FetchCheckPage(form);
        elapsed = std::chrono::steady_clock::now() - start;
        return outcome;
    }

    std::string copyPath() const { return folder / "check.htm"; }
    std::string copy() const { return ReadWholeFile(copyPath()).value_or("<no copy>"); }
    void writeCopy(const std::string& content) { ASSERT_TRUE(WriteWholeFile(copyPath(), content)); }

    WinLoopbackHttpServer server;
    TemporaryFolder folder;
    SystemProxyLookup systemProxy; // none: libcurl's proxy environment, which scripts/test-windows clears
    std::chrono::steady_clock::duration elapsed{};

    WinEnvironment environment;
    WinFileSystem files;
    WinTextEncoding encoding;
    FakePorts fakes;
};
