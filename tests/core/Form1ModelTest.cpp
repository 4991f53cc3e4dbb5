// SPDX-License-Identifier: MIT
#include "config/SettingsComplete.h"
#include "fakes/FormHarness.h"

#include <gtest/gtest.h>
#include <set>

namespace {

class Form1Model : public ::testing::Test
{
protected:
    FormHarness h;
    Form1& f = h.form;
};

TEST_F(Form1Model, WindowStartsWithItsDesignTimeState)
{
    EXPECT_EQ(f.Caption(), "Sentrybell");
    EXPECT_TRUE(f.Visible());
    EXPECT_EQ(f.WindowState(), 0);
    EXPECT_EQ(f.Timer1.Interval(), 5000);
    EXPECT_TRUE(f.Timer1.Enabled());
    EXPECT_EQ(f.errCount, 0);
    EXPECT_TRUE(f.errReport.empty());
}

TEST_F(Form1Model, ButtonsCarryTheirCaptions)
{
    EXPECT_EQ(f.手動チェック.Caption(), "手動チェック");
    EXPECT_EQ(f.IIS(0).Caption(), "IIS ReStart");
    EXPECT_EQ(f.IIS(1).Caption(), "IIS Start");
    EXPECT_EQ(f.IIS(2).Caption(), "IIS STOP");
    EXPECT_EQ(f.IIS(3).Caption(), "ｼｽﾃﾑ ReBoot");
    EXPECT_EQ(f.Command5.Caption(), "タイマー停止");
    EXPECT_EQ(f.comEnd.Caption(), "閉じる");
    EXPECT_EQ(f.Command1.Caption(), "設\u3000定");
    EXPECT_EQ(f.Command2.Caption(), "設\u3000定");
    EXPECT_EQ(f.Command3.Caption(), "検索...");
    EXPECT_EQ(f.Command4.Caption(), "検索...");
    EXPECT_EQ(f.Frame1.Caption(), "監視設定");
    EXPECT_EQ(f.Frame2.Caption(), "送信メール設定");
}

TEST_F(Form1Model, TextBoxesHoldTheirDesignTimeTexts)
{
    EXPECT_EQ(f.textBoxes().size(), 15U);
    EXPECT_EQ(f.txtUser.Text(), "Administrator");
    EXPECT_EQ(f.txtUrl.Text(), "http://");
    for (TextBox* box : f.textBoxes()) {
        if (box != &f.txtUser && box != &f.txtUrl) {
            EXPECT_EQ(box->Text(), "") << box->name();
        }
    }
    EXPECT_TRUE(f.txtUserPass.isPassword());
    EXPECT_TRUE(f.txtPass.isPassword());
    EXPECT_FALSE(f.txtUser.isPassword());
}

TEST_F(Form1Model, CheckAndOptionButtonsStartClear)
{
    EXPECT_EQ(f.chkKidou.Value(), 0);
    EXPECT_EQ(f.chkSysStart.Value(), 0);
    EXPECT_EQ(f.chkKidou.Caption(), "起動時ﾀｽｸﾄﾚｲ入れる。");
    EXPECT_EQ(f.chkSysStart.Caption(), "自動ログイン");
    EXPECT_FALSE(f.OptBoot(0).Value());
    EXPECT_FALSE(f.OptBoot(1).Value());
    EXPECT_EQ(f.OptBoot(0).Caption(), "IIS ReStart");
    EXPECT_EQ(f.OptBoot(1).Caption(), "System ReStart");
}

TEST_F(Form1Model, SelectingOneRecoveryOptionClearsTheOther)
{
    f.OptBoot(1).Value = true;
    f.OptBoot(0).Value = true;
    EXPECT_TRUE(f.OptBoot(0).Value());
    EXPECT_FALSE(f.OptBoot(1).Value());
    f.OptBoot(1).Value = true;
    EXPECT_FALSE(f.OptBoot(0).Value());
}

TEST_F(Form1Model, LabelArraysHaveTheirIndicesAndTexts)
{
    EXPECT_EQ(f.Label1(0).Caption(), "ログ");
    EXPECT_EQ(f.Label1(1).Caption(), "送信元SMTPサーバ");
    EXPECT_EQ(f.Label1(7).Caption(), "送信元メールパスワード");
    EXPECT_EQ(f.Label2(2).Caption(), "受信ﾀｲﾑｱｳﾄ（最大60秒まで）");
    EXPECT_EQ(f.Label2(3).Caption(), "監視URLファイル（\"http://\"から入力）");
    EXPECT_EQ(f.Label2(6).Caption(), "繰返し受信間隔");
    EXPECT_EQ(f.Label3(2).Caption(), "ｴﾗｰ時の起動");
    EXPECT_EQ(f.Label3(3).Caption(), "Proxy設定");
    EXPECT_TRUE(f.Label4.has(0) && f.Label4.has(2) && !f.Label4.has(1));
    EXPECT_TRUE(f.Label5.has(0) && f.Label5.has(1));
}

TEST_F(Form1Model, MenuListsItsItemsAndSeparatorsInOrder)
{
    std::vector<std::string> captions;
    for (MenuItem* item : f.Menu_File.items) {
        captions.push_back(item->Caption());
        EXPECT_TRUE(item->Enabled());
    }
    EXPECT_EQ(captions, (std::vector<std::string>{"設定画面表示(&O)", "-", "開始(&P)", "停止(&S)", "-", "終了"}));
    EXPECT_EQ(f.Menu_File.Caption(), "ファイル(&F)");
}

TEST_F(Form1Model, TabOrderVisitsEveryFocusableControlOnce)
{
    const auto order = f.tabOrder();
    EXPECT_EQ(order.size(), 29U);
    EXPECT_EQ(std::set<Control*>(order.begin(), order.end()).size(), order.size());
    EXPECT_EQ(order.front(), &f.手動チェック);
    EXPECT_EQ(order.back(), &f.txtSMTP);
}

TEST_F(Form1Model, TheLayoutPlacesEveryControlInsideItsContainerAndApartFromItsNeighbours)
{
    const std::vector<ControlPlace>& layout = f.layout();
    const auto areaOf = [&layout](const Frame* container) {
        for (const ControlPlace& place : layout) {
            if (place.control == container) {
                return place.rect;
            }
        }
        return TwipsRect{0, 0, ClientWidthTwips, ClientHeightTwips};
    };
    const auto overlap = [](const TwipsRect& a, const TwipsRect& b) {
        return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
    };
    std::set<const Control*> placed;
    for (std::size_t i = 0; i < layout.size(); ++i) {
        const ControlPlace& place = layout[i];
        const std::string name = place.control->name() + "(" + std::to_string(place.control->index()) + ")";
        EXPECT_TRUE(placed.insert(place.control).second) << name << " is placed once";
        const TwipsRect area = areaOf(place.container);
        const TwipsRect& r = place.rect;
        EXPECT_TRUE(r.x >= 0 && r.y >= 0 && r.width > 0 && r.height > 0 && r.x + r.width <= area.width &&
                    r.y + r.height <= area.height)
            << name << " lies inside its container";
        EXPECT_TRUE(place.container == nullptr || placed.count(place.container) != 0)
            << name << " comes after its container, which the views build first";
        for (std::size_t j = i + 1; j < layout.size(); ++j) {
            if (layout[j].container == place.container) {
                EXPECT_FALSE(overlap(r, layout[j].rect))
                    << name << " and " << layout[j].control->name() << "(" << layout[j].control->index() << ")";
            }
        }
        const bool takesFocus = place.kind != ControlKind::Label && place.kind != ControlKind::Frame;
        EXPECT_EQ(place.tabIndex != NoTabStop, takesFocus) << name;
    }
    EXPECT_EQ(placed.size() + 1 + f.Menu_File.items.size() + 1, f.controls().size())
        << "every control but the menu, its items and the timer is placed";
}

TEST_F(Form1Model, EachEventSlotRunsItsHandler)
{
    h.environment.folder = "/opt/sentrybell";
    for (int index = 0; index < 4; ++index) {
        Raise(f.IIS(index).Click);
    }
    ASSERT_EQ(h.launcher.starts.size(), 4U);
    EXPECT_EQ(h.launcher.starts[3].arguments, std::vector<std::string>{"/REBOOT"});

    f.Timer1.Enabled = true;
    Raise(f.Command5.Click);
    EXPECT_FALSE(f.Timer1.Enabled());
    Raise(f.Menu_Start.Click);
    EXPECT_TRUE(f.Timer1.Enabled());
    Raise(f.Menu_Stop.Click);
    EXPECT_FALSE(f.Timer1.Enabled());
    Raise(f.comEnd.Click);
    EXPECT_EQ(f.WindowState(), 1) << "minimised: there is no tray icon to bring a hidden window back";
    Raise(f.Menu_Open.Click);
    EXPECT_EQ(f.WindowState(), 0);
    Raise(f.Menu_End.Click);
    EXPECT_EQ(h.lifetime.unloads, 1);

    Raise(f.Label4(0).Click);
    Raise(f.Label4(2).Click);
    Raise(f.Label5(1).Click);
    Raise(f.Label5(0).Click);
    EXPECT_EQ(h.shell.opened.size(), 4U);
    EXPECT_FALSE(f.Label1(0).Click) << "a plain label does nothing when clicked";

    Raise(f.Command3.Click);
    EXPECT_EQ(h.fileChooser.requests.size(), 1U);
    Raise(f.Command4.Click);
    EXPECT_EQ(h.folderChooser.requests.size(), 1U);
    Raise(f.Command1.Click); // both saves refuse the empty fields with a box
    Raise(f.Command2.Click);
    Raise(f.手動チェック.Click); // and the manual check the empty interval
    EXPECT_EQ(h.messageBox.shown.size(), 3U);

    f.txtTimeout.Text = "30";
    f.Timer1.Enabled = true;
    Raise(f.Timer1.Tick);
    EXPECT_NE(f.Caption(), AppTitle) << "the check ran and showed its status";
    int cancel = 1;
    Raise(f.QueryUnload, cancel, 0);
    EXPECT_EQ(cancel, 0);
    EXPECT_EQ(h.tray.calls.back(), "restore") << "the unload tore the tray down";
}

TEST_F(Form1Model, EveryTextBoxIsNamedByItsLabelInTheWindowsWords)
{
    for (TextBox* box : f.textBoxes()) {
        const std::string name = FieldCaption(f, *box);
        EXPECT_NE(name, box->name()) << "a text box without a label";
        EXPECT_EQ(name.find("（"), std::string::npos) << name;
    }
    EXPECT_EQ(FieldCaption(f, f.txtParaPath), "パラメータ保存先フォルダ");
    EXPECT_EQ(FieldCaption(f, f.txtTimeout), "受信ﾀｲﾑｱｳﾄ");
}

TEST_F(Form1Model, ObserversHearEachChangeOnce)
{
    std::vector<Prop> heard;
    f.txtLog.addObserver([&heard](Control&, Prop prop) { heard.push_back(prop); });
    f.txtLog.Text = "/var/log/x.txt";
    f.txtLog.Text = "/var/log/x.txt"; // no change, no report
    f.txtLog.Enabled = false;
    EXPECT_EQ(heard, (std::vector<Prop>{Prop::Text, Prop::Enabled}));
}

} // namespace
