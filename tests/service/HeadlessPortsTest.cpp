// SPDX-License-Identifier: MIT
// The window's ports without a window: nothing may wait for an operator who is not there, and what a
// box or a link would have shown reaches standard error (the journal) as one line.
#include "service/HeadlessPorts.h"

#include <gtest/gtest.h>
#include <sstream>

namespace {

TEST(HeadlessPorts, ABoxAndARefusedOpenEachLeaveOneLineAndNothingWaits)
{
    std::ostringstream out;
    StreamMessageBox box(out);
    box.MsgBox("ページ読み込みOK！！\nsecond line", vbExclamation, "Sentrybell");
    RefusingShell shell(out);
    shell.openDocument("/opt/sentrybell/doc/guide.html");
    EXPECT_EQ(out.str(), "sentrybell: Sentrybell: ページ読み込みOK！！ second line\n"
                         "sentrybell: not opening /opt/sentrybell/doc/guide.html: the service has no desktop to open "
                         "it on\n");

    CancellingFileChooser files;
    EXPECT_EQ(files.choose(FileDialogRequest{}).outcome, FileDialogResult::Outcome::Cancelled);
    CancellingFolderChooser folders;
    EXPECT_EQ(folders.browseForFolder(0, "/srv", "フォルダを選択"), "");
}

TEST(HeadlessPorts, TheLifetimeHandsEachUnloadOverOnceAndKeepsAnEndWithoutUnload)
{
    using Ending = ServiceLifetime::Ending;
    ServiceLifetime lifetime;
    EXPECT_EQ(lifetime.takeEnding(), Ending::None);
    lifetime.unloadWindow();
    EXPECT_EQ(lifetime.takeEnding(), Ending::Unload);
    EXPECT_EQ(lifetime.takeEnding(), Ending::None) << "an unload that was cancelled is not asked for again";

    // The reboot path ends the program without the unload, whatever is asked after it.
    lifetime.endNow();
    lifetime.unloadWindow();
    EXPECT_EQ(lifetime.takeEnding(), Ending::Now);
    EXPECT_EQ(lifetime.takeEnding(), Ending::Now);
}

} // namespace
