// SPDX-License-Identifier: MIT
#pragma once

#include "fakes/FormHarness.h"
#include "monitor/FetchCheckPage.h"
#include "net/CurlInternetClient.h"
#include "posix/PosixFileSystem.h"
#include "posix/Utf8Encoding.h"
#include "shell/Form1.h"
#include "support/LoopbackHttpServer.h"
#include "support/ProxyFreeEnvironment.h"
#include "support/TemporaryFolder.h"

#include <chrono>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <string>

// FetchCheckPage over the real libcurl client and real files in a folder of the test's own, against
// a scriptable server on loopback, with the environment's proxy variables cleared.
class FetchFixture : public ::testing::Test
{
protected:
    // One fetch as the check cycle makes it, with the window's fields set as given.
    int fetch(const std::string& url, const std::string& timeout = "2", const std::string& proxy = "")
    {
        CurlInternetClient client(limits, systemProxy);
        client.setCaFile(caFile);
        client.setWhileWaiting(whileWaiting);
        Form1 form(fakes.services({.files = &files, .encoding = &encoding, .internet = &client}));
        form.txtUrl.Text = url;
        form.txtTimeout.Text = timeout;
        form.txtProxy.Text = proxy;
        form.txtParaPath.Text = saveFolder;
        const auto start = std::chrono::steady_clock::now();
        const int outcome = FetchCheckPage(form);
        elapsed = std::chrono::steady_clock::now() - start;
        return outcome;
    }

    std::string copyPath() const { return saveFolder + "/check.htm"; }
    std::optional<std::string> copy() const { return files.readFile(copyPath(), std::size_t{1} << 30); }
    void writeCopy(const std::string& content) { files.replaceFile(copyPath(), content, NewFileAccess::Ordinary); }

    // The names in the save folder: a fetch must leave no temporary behind.
    std::vector<std::string> saveFolderEntries() const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(saveFolder)) {
            names.push_back(entry.path().filename().string());
        }
        return names;
    }

    double seconds() const { return std::chrono::duration<double>(elapsed).count(); }

    ProxyFreeEnvironment noProxy;
    LoopbackHttpServer server;
    CurlFetchLimits limits;
    SystemProxyLookup systemProxy; // none: libcurl's proxy environment
    std::string caFile;            // empty: the system's certificates
    std::function<void()> whileWaiting;
    TemporaryFolder folder{"sentrybell fetch "};
    std::string saveFolder = folder.path();
    std::chrono::steady_clock::duration elapsed{};

    PosixFileSystem files;
    Utf8Encoding encoding;
    FakePorts fakes;
};

// Every byte value, so that nothing is converted on the way: NUL, CR, LF and bytes above 127.
inline std::string binaryBody(std::size_t size)
{
    std::string body(size, '\0');
    std::uint32_t state = 12345;
    for (char& c : body) {
        state = state * 1103515245U + 12345U;
        c = static_cast<char>(state >> 24);
    }
    return body;
}
