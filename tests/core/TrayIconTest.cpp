// SPDX-License-Identifier: MIT
#include "shell/TrayIcon.h"

#include "fakes/FormHarness.h"

#include <gtest/gtest.h>

namespace {

class TrayIcon : public ::testing::Test
{
protected:
    FormHarness h;
    Form1& f = h.form;
};

TEST_F(TrayIcon, StartUpSubclassesFirstThenAddsTheIconWithTheCaption)
{
    f.Form_Load();
    EXPECT_EQ(h.tray.calls, (std::vector<std::string>{"subclass", "add:Sentrybell"}));
    EXPECT_FALSE(f.Menu_Start.Enabled());
    EXPECT_TRUE(f.Menu_Stop.Enabled());
}

TEST_F(TrayIcon, StatusGoesToCaptionAndTip)
{
    f.Form_Load();
    ShowStatus(f, "チェックファイル受信中");
    EXPECT_EQ(f.Caption(), "チェックファイル受信中");
    EXPECT_EQ(h.tray.tip, "チェックファイル受信中");
}

TEST_F(TrayIcon, TipIsCutTo63BytesAtACharacterBoundary)
{
    f.Form_Load();
    ShowStatus(f, std::string(70, 'x'));
    EXPECT_EQ(h.tray.tip, std::string(63, 'x'));
    EXPECT_EQ(f.Caption(), std::string(70, 'x')) << "the caption itself is not cut";

    std::string japanese = "a";
    for (int i = 0; i < 30; ++i) {
        japanese += "受"; // three bytes each
    }
    ShowStatus(f, japanese);
    EXPECT_EQ(h.tray.tip.size(), 61U) << "a 21st character would need bytes 62 to 64";
    EXPECT_EQ(h.tray.tip, japanese.substr(0, 61));
}

TEST_F(TrayIcon, TeardownIsSafeTwiceAndLaterTipsDoNotBringTheIconBack)
{
    f.Form_Load();
    TearDownTray(f);
    TearDownTray(f);
    EXPECT_FALSE(h.tray.iconShown);
    EXPECT_FALSE(h.tray.subclassed);
    ShowStatus(f, "受信エラー発生！！");
    EXPECT_FALSE(h.tray.iconShown);
    EXPECT_EQ(h.tray.tip, "Sentrybell");
}

} // namespace
