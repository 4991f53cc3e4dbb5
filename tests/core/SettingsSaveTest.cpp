// SPDX-License-Identifier: MIT
#include "CapturedStderr.h"
#include "config/AutoLogon.h"
#include "config/SettingsComplete.h"
#include "fakes/FormHarness.h"

#include <gtest/gtest.h>
#include <memory>

namespace {

const std::string Path = "/opt/sentrybell/SETTING.ini";
const std::string Refused = "設定できませんでした。";

void prepare(FormHarness& h)
{
    for (const char* folder :
         {"/opt", "/opt/sentrybell", "/var", "/var/log", "/var/log/sentrybell", "/srv", "/srv/check"}) {
        h.files.addFolder(folder);
    }
    h.form.IniPath = Path;
}

void fillMonitoring(Form1& f)
{
    f.txtLog.Text = "/var/log/sentrybell/iiserr.txt"; // the log itself need not exist yet
    f.txtParaPath.Text = "/srv/check";
    f.txtTimeout.Text = "30";
    f.txtTimer.Text = "10";
    f.txtUrl.Text = "http://www.example.test/check.htm";
    f.txtProxy.Text = "proxy.test:8080";
    f.txtUserPass.Text = "pw";
    f.OptBoot(0).Value = true;
}

void fillMail(Form1& f)
{
    f.txtFrom.Text = "watch@example.test";
    f.txtAcount.Text = "watch";
    f.txtPass.Text = "mailpw";
    f.txtSMTP.Text = "smtp.example.test";
    f.txtSubject.Text = "障害";
    f.txtSendto.Text = "ops@example.test";
    f.txtCC.Text = "boss@example.test";
}

// The timer and its two buttons as the window started: running at the design-time interval.
void expectTimerUntouched(Form1& f)
{
    EXPECT_TRUE(f.Timer1.Enabled());
    EXPECT_EQ(f.Timer1.Interval(), 5000);
    EXPECT_TRUE(f.手動チェック.Enabled());
    EXPECT_TRUE(f.Command5.Enabled());
}

void expectRefused(FormHarness& h)
{
    ASSERT_EQ(h.messageBox.shown.size(), 1U);
    EXPECT_EQ(h.messageBox.shown[0].text, Refused);
    EXPECT_EQ(h.messageBox.shown[0].style, 48);
    EXPECT_EQ(h.messageBox.shown[0].title, "Sentrybell");
    EXPECT_TRUE(h.files.files.empty());
    EXPECT_TRUE(h.registry.writes.empty());
    expectTimerUntouched(h.form);
    EXPECT_EQ(h.report.kinds, std::vector<ReportKind>{ReportKind::SaveRefused}) << "why goes to the operator's log";
}

// What the operator's log was told, one report a line.
std::string reported(const FormHarness& h)
{
    std::string text;
    for (const std::string& line : h.report.reports) {
        text += line + '\n';
    }
    return text;
}

// The control the window last asked to give the focus to.
struct FocusRequests
{
    explicit FocusRequests(Form1& f)
    {
        for (Control* control : f.controls()) {
            control->addObserver([this](Control& asked, Prop prop) {
                if (prop == Prop::Focus) {
                    last = &asked;
                }
            });
        }
    }
    const Control* last = nullptr;
};

void expectStopped(Form1& f)
{
    EXPECT_FALSE(f.Timer1.Enabled());
    EXPECT_FALSE(f.手動チェック.Enabled());
    EXPECT_FALSE(f.Command5.Enabled());
}

class Saves : public ::testing::Test
{
protected:
    Saves() { prepare(h); }
    std::string file() { return h.files.files[Path]; }

    CapturedStderr err;
    FormHarness h;
    Form1& f = h.form;
};

TEST_F(Saves, MonitoringSaveWritesOnlyTheSettingSectionInOneReplacement)
{
    fillMonitoring(f);
    f.txtTimer.Text = "0010";
    f.chkKidou.Value = 1;
    f.OptBoot(1).Value = true;
    f.Command1_Click();
    EXPECT_TRUE(h.messageBox.shown.empty());
    EXPECT_EQ(file(), "[SETTING]\n"
                      "LOGPATH=/var/log/sentrybell/iiserr.txt\n"
                      "SAVEFOLDER=/srv/check\n"
                      "TIMEOUT=30\n"
                      "TIMER=10\n"
                      "URL=http://www.example.test/check.htm\n"
                      "KIDOU=1\n"
                      "LOGIN=0\n"
                      "ID=Administrator\n"
                      "LOGINPASS=pw\n"
                      "RESTART=1\n"
                      "PROXY=proxy.test:8080\n");
    EXPECT_EQ(h.files.replacements, 1);
    EXPECT_EQ(h.files.lastAccess, NewFileAccess::Private);
    f.OptBoot(0).Value = true;
    f.Command1_Click();
    EXPECT_NE(file().find("RESTART=0\n"), std::string::npos);
    EXPECT_EQ(h.files.replacements, 2);
}

TEST_F(Saves, MailSaveWritesOnlyTheMailSectionInOneReplacement)
{
    fillMail(f);
    f.Command2_Click();
    EXPECT_TRUE(h.messageBox.shown.empty());
    EXPECT_EQ(file(), "[MAIL]\n"
                      "ADDRESS=watch@example.test\n"
                      "MAILID=watch\n"
                      "PASSWORD=mailpw\n"
                      "SMTP=smtp.example.test\n"
                      "SUBJECT=障害\n"
                      "SEND=ops@example.test\n"
                      "CC=boss@example.test\n");
    EXPECT_EQ(h.files.replacements, 1);
    EXPECT_TRUE(h.registry.writes.empty());
}

TEST(MonitoringSaveRefusal, EachRequiredFieldEmptyKeepsEverything)
{
    for (auto field : {&Form1::txtLog, &Form1::txtParaPath, &Form1::txtTimeout, &Form1::txtTimer, &Form1::txtUrl,
                       &Form1::txtUser, &Form1::txtUserPass, &Form1::txtProxy}) {
        auto h = std::make_unique<FormHarness>();
        prepare(*h);
        fillMonitoring(h->form);
        fillMail(h->form);
        (h->form.*field).Text = "";
        const FocusRequests focus(h->form);
        h->form.Command1_Click();
        SCOPED_TRACE((h->form.*field).name());
        expectRefused(*h);
        EXPECT_EQ(focus.last, &(h->form.*field)) << "the field to mend has the focus once the box is closed";
        EXPECT_NE(reported(*h).find("not saved: " + (h->form.*field).name() + " is empty"), std::string::npos)
            << reported(*h);
        EXPECT_EQ(h->form.txtUrl.Text(), field == &Form1::txtUrl ? "" : "http://www.example.test/check.htm");
    }
}

TEST(MonitoringSaveRefusal, ANumberItsRuleRefusesIsNotStored)
{
    for (auto field : {&Form1::txtTimeout, &Form1::txtTimer}) {
        for (const char* number : {"0", "abc", "2147484", " 5", "-1", "1.5"}) {
            FormHarness h;
            prepare(h);
            fillMonitoring(h.form);
            (h.form.*field).Text = number;
            h.form.Command1_Click();
            SCOPED_TRACE((h.form.*field).name() + "=" + number);
            expectRefused(h);
            EXPECT_NE(reported(h).find((h.form.*field).name() + " is not a whole number of seconds"), std::string::npos)
                << reported(h);
        }
    }
}

TEST_F(Saves, NoRecoveryOptionChosenRefusesTheMonitoringSave)
{
    fillMonitoring(f);
    f.OptBoot(0).Value = false;
    ASSERT_FALSE(f.OptBoot(1).Value());
    const FocusRequests focus(f);
    f.Command1_Click();
    expectRefused(h);
    EXPECT_EQ(focus.last, &f.OptBoot(0));
}

TEST(MailSaveRefusal, EachRequiredFieldEmptyKeepsEverything)
{
    for (auto field : {&Form1::txtFrom, &Form1::txtAcount, &Form1::txtPass, &Form1::txtSMTP, &Form1::txtSendto}) {
        FormHarness h;
        prepare(h);
        fillMail(h.form);
        (h.form.*field).Text = "";
        const FocusRequests focus(h.form);
        h.form.Command2_Click();
        SCOPED_TRACE((h.form.*field).name());
        expectRefused(h);
        EXPECT_EQ(focus.last, &(h.form.*field));
        EXPECT_NE(reported(h).find("not saved: " + (h.form.*field).name() + " is empty"), std::string::npos)
            << reported(h);
    }
}

TEST_F(Saves, WithoutAutoLogonOnlyAutoAdminLogonIsWritten)
{
    h.registry.values[FakeRegistry::path(WinlogonKey, "DefaultUserName")] = "earlier";
    fillMonitoring(f);
    f.chkSysStart.Value = 0;
    f.Command1_Click();
    EXPECT_EQ(h.registry.writes, (std::vector<std::string>{"AutoAdminLogon=0"}));
    EXPECT_EQ(h.registry.values[FakeRegistry::path(WinlogonKey, "DefaultUserName")], "earlier");
    EXPECT_NE(file().find("LOGIN=0\n"), std::string::npos);
}

TEST_F(Saves, WithAutoLogonAllFourValuesAreWrittenWithTheMachineName)
{
    h.environment.hostName = "webhost  ";
    fillMonitoring(f);
    f.chkSysStart.Value = 1;
    f.txtUser.Text = "operator";
    f.Command1_Click();
    EXPECT_EQ(h.registry.writes, (std::vector<std::string>{"AutoAdminLogon=1", "DefaultUserName=operator",
                                                           "DefaultDomainName=webhost", "DefaultPassword=pw"}));
    EXPECT_NE(file().find("LOGIN=1\nID=operator\nLOGINPASS=pw\n"), std::string::npos);
}

TEST_F(Saves, ARefusedRegistryWriteKeepsTheSaveSilent)
{
    h.registry.failWrites = true;
    fillMonitoring(f);
    fillMail(f);
    f.chkSysStart.Value = 1;
    f.Command1_Click();
    EXPECT_TRUE(h.messageBox.shown.empty());
    EXPECT_FALSE(file().empty());
    EXPECT_TRUE(f.Timer1.Enabled());
}

TEST_F(Saves, AFileThatCannotBeWrittenRefusesTheSaveAndKeepsEverything)
{
    h.files.files["/opt/sentrybell/sentrybell"] = "program";
    f.IniPath = "/opt/sentrybell/sentrybell/SETTING.ini"; // a path under a regular file
    fillMonitoring(f);
    fillMail(f);
    f.chkSysStart.Value = 1;
    const auto before = h.files.files;
    const FocusRequests focus(f);
    f.Command1_Click();
    EXPECT_EQ(focus.last, nullptr) << "no field is to blame";
    f.Command2_Click();
    ASSERT_EQ(h.messageBox.shown.size(), 2U);
    EXPECT_EQ(h.messageBox.shown[1].text, Refused);
    EXPECT_EQ(h.files.files, before);
    EXPECT_TRUE(h.registry.writes.empty());
    expectTimerUntouched(f);
    EXPECT_EQ(f.txtUrl.Text(), "http://www.example.test/check.htm");
    EXPECT_EQ(f.txtCC.Text(), "boss@example.test");
}

TEST_F(Saves, AFailedReplacementLeavesTheFileByteForByte)
{
    h.files.files[Path] = "; mine\r\n[SETTING]\r\nURL=old\r\n";
    h.files.failWrites = true;
    fillMonitoring(f);
    f.Command1_Click();
    EXPECT_EQ(file(), "; mine\r\n[SETTING]\r\nURL=old\r\n");
    EXPECT_EQ(h.messageBox.shown.size(), 1U);
    EXPECT_TRUE(h.registry.writes.empty());
    EXPECT_NE(reported(h).find("not saved: cannot write: the fake disk is full"), std::string::npos) << reported(h);
}

TEST_F(Saves, AMissingMailFieldStoresEverythingButStopsTheChecks)
{
    fillMonitoring(f);
    fillMail(f);
    f.txtCC.Text = "";
    f.Command1_Click();
    EXPECT_TRUE(h.messageBox.shown.empty());
    EXPECT_FALSE(file().empty());
    expectStopped(f);
    EXPECT_NE(err.text().find("txtCC is empty"), std::string::npos) << err.text();
    // The window says it too, on both disabled buttons, in its own words.
    EXPECT_EQ(f.手動チェック.ToolTipText(), "CCメールアドレス が空です");
    EXPECT_EQ(f.Command5.ToolTipText(), "CCメールアドレス が空です");
    EXPECT_EQ(f.手動チェック.Caption(), "手動チェック");
    EXPECT_EQ(f.Command5.Caption(), "タイマー停止");
}

TEST_F(Saves, ALogPathWithoutAFolderIsStoredButStopsTheChecks)
{
    fillMail(f);
    for (const char* log : {"iiserr.txt", "/iiserr.txt"}) {
        fillMonitoring(f);
        f.txtLog.Text = log;
        f.Command1_Click();
        EXPECT_NE(file().find(std::string("LOGPATH=") + log + "\n"), std::string::npos);
        expectStopped(f);
        EXPECT_NE(err.text().find("txtLog has no folder part"), std::string::npos) << err.text();
        EXPECT_EQ(f.Command5.ToolTipText(), "ログ のフォルダーがありません");
    }
}

TEST_F(Saves, CompleteSettingsRunTheChecksAtTheSavedInterval)
{
    fillMonitoring(f);
    fillMail(f);
    f.Command1_Click();
    EXPECT_TRUE(f.Timer1.Enabled());
    EXPECT_EQ(f.Timer1.Interval(), 10000);
    EXPECT_TRUE(f.手動チェック.Enabled());
    EXPECT_TRUE(f.Command5.Enabled());
    EXPECT_EQ(err.text(), "");
    EXPECT_EQ(f.手動チェック.ToolTipText(), "");
    EXPECT_EQ(f.Command5.ToolTipText(), "");
}

TEST_F(Saves, ASaveRestartsChecksTheOperatorStopped)
{
    fillMonitoring(f);
    fillMail(f);
    f.Command5_Click();
    ASSERT_FALSE(f.Timer1.Enabled());
    f.Command2_Click();
    EXPECT_TRUE(f.Timer1.Enabled());
    EXPECT_EQ(f.Command5.Caption(), "タイマー開始"); // the caption is not the save's business
}

TEST_F(Saves, MailSaveAcceptsAnEmptySubjectAndCopyButTheChecksStayOff)
{
    fillMonitoring(f);
    fillMail(f);
    f.txtSubject.Text = "";
    f.txtCC.Text = "";
    f.Command2_Click();
    EXPECT_TRUE(h.messageBox.shown.empty());
    EXPECT_NE(file().find("SUBJECT=\nSEND=ops@example.test\nCC=\n"), std::string::npos);
    expectStopped(f);
}

TEST_F(Saves, MailSaveWithAnUnusableIntervalStoresTheMailAndStopsTheChecks)
{
    fillMonitoring(f);
    fillMail(f);
    f.txtTimer.Text = "0";
    f.Command2_Click();
    EXPECT_TRUE(h.messageBox.shown.empty());
    EXPECT_NE(file().find("[MAIL]\n"), std::string::npos);
    expectStopped(f);
    EXPECT_EQ(f.手動チェック.ToolTipText(), "繰返し受信間隔 が正しくありません");
    EXPECT_NE(err.text().find("txtTimer"), std::string::npos) << err.text();
}

TEST_F(Saves, BothSavesShareOneFileAndKeepEachOthersSection)
{
    fillMonitoring(f);
    fillMail(f);
    f.Command2_Click();
    f.Command1_Click();
    f.txtCC.Text = "other@example.test";
    f.Command2_Click();
    const std::string text = file();
    EXPECT_EQ(text.find("[MAIL]\n"), 0U);
    EXPECT_NE(text.find("CC=other@example.test\n[SETTING]\nLOGPATH="), std::string::npos) << text;
}

} // namespace
