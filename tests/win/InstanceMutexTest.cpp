// SPDX-License-Identifier: MIT
// The guard that keeps one watchdog per install folder.
#include "win/InstanceMutex.h"

#include <gtest/gtest.h>
#include <string>

namespace {

TEST(InstanceGuard, OneWatchdogPerFolder)
{
    // Folders of the test's own: the installer's test runs the program from its install folder meanwhile.
    const InstanceMutex first("C:\\Instance Guard Test\\Sentrybell");
    EXPECT_EQ(first.state(), InstanceMutex::State::Acquired);
    const InstanceMutex second("c:\\instance guard test\\sentrybell\\");
    EXPECT_EQ(second.state(), InstanceMutex::State::HeldElsewhere) << "the same folder, spelt otherwise";
    const InstanceMutex other("D:\\Instance Guard Test\\Sentrybell");
    EXPECT_EQ(other.state(), InstanceMutex::State::Acquired);
}

TEST(InstanceGuard, TheNameHasNoSeparatorButTheNamespaces)
{
    const std::wstring name = InstanceMutexName("C:\\監視\\Sentrybell");
    EXPECT_EQ(name.rfind(L'\\'), std::wstring(L"Global").size());
    EXPECT_EQ(name, InstanceMutexName("c:/監視/sentrybell/"));
}

} // namespace
