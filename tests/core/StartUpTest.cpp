// SPDX-License-Identifier: MIT
#include "CapturedStderr.h"
#include "common/ProgramVersion.h"
#include "config/AutoLogon.h"
#include "fakes/FormHarness.h"

#include <gtest/gtest.h>
#include <map>

namespace {

const std::string Path = "/opt/sentrybell/SETTING.ini";
const std::string Started = std::string("event=started version=") + ProgramVersion + " folder=/opt/sentrybell";

using Keys = std::map<std::string, std::string>;

// A complete set of settings: with it the checks run.
Keys completeSetting()
{
    return {{"LOGPATH", "/var/log/sentrybell/iiserr.txt"},
            {"SAVEFOLDER", "/srv/check"},
            {"TIMEOUT", "20"},
            {"TIMER", "30"},
            {"URL", "http://www.example.test/check.htm"},
            {"KIDOU", "0"},
            {"LOGIN", "1"},
            {"ID", "operator"},
            {"LOGINPASS", "pw"},
            {"RESTART", "0"},
            {"PROXY", ""}};
}

Keys completeMail()
{
    return {{"ADDRESS", "watch@example.test"}, {"MAILID", "watch"}, {"PASSWORD", "mailpw"},
            {"SMTP", "smtp.example.test"},     {"SUBJECT", "障害"}, {"SEND", "ops@example.test"},
            {"CC", "boss@example.test"}};
}

class StartUp : public ::testing::Test
{
protected:
    StartUp()
    {
        for (const char* folder :
             {"/opt", "/opt/sentrybell", "/var", "/var/log", "/var/log/sentrybell", "/srv", "/srv/check"}) {
            h.files.addFolder(folder);
        }
    }

    void writeFile(const Keys& setting, const Keys& mail)
    {
        std::string text;
        if (!mail.empty()) {
            text += "[MAIL]\r\n";
            for (const auto& [key, value] : mail) {
                text += key + "=" + value + "\r\n";
            }
        }
        text += "[SETTING]\r\n";
        for (const auto& [key, value] : setting) {
            text += key + "=" + value + "\r\n";
        }
        h.files.files[Path] = text;
    }
    void load(Keys setting, const Keys& mail = completeMail())
    {
        writeFile(setting, mail);
        f.Form_Load();
    }
    void setRegistry(const std::string& name, const std::string& value)
    {
        h.registry.values[FakeRegistry::path(WinlogonKey, name)] = value;
    }

    CapturedStderr err;
    FormHarness h;
    Form1& f = h.form;
};

TEST_F(StartUp, WithoutAFileTheToolIsUnconfigured)
{
    setRegistry("AutoAdminLogon", "1");
    f.Form_Load();
    EXPECT_EQ(f.IniPath, Path);
    for (TextBox* box : {&f.txtAcount, &f.txtCC, &f.txtFrom, &f.txtLog, &f.txtParaPath, &f.txtPass, &f.txtSendto,
                         &f.txtSMTP, &f.txtSubject, &f.txtTimeout, &f.txtUrl, &f.txtTimer}) {
        EXPECT_EQ(box->Text(), "") << box->name();
    }
    EXPECT_EQ(f.txtUser.Text(), "Administrator");
    EXPECT_EQ(f.chkSysStart.Value(), 0);
    EXPECT_FALSE(f.Timer1.Enabled());
    EXPECT_FALSE(f.手動チェック.Enabled());
    EXPECT_FALSE(f.Command5.Enabled());
    EXPECT_EQ(f.Command5.ToolTipText(), "ログ が空です");
    EXPECT_FALSE(f.Menu_Start.Enabled());
    EXPECT_TRUE(f.Menu_Stop.Enabled());
    EXPECT_TRUE(f.Visible());
    EXPECT_TRUE(h.files.files.empty());    // no file is created
    EXPECT_TRUE(h.registry.reads.empty()); // and the registry is not read
    EXPECT_EQ(h.tray.calls, (std::vector<std::string>{"subclass", "add:Sentrybell"}));
    EXPECT_EQ(h.report.events, (std::vector<std::string>{Started, "event=settings_refused file=" + std::string(Path) +
                                                                      " reason=\"no settings file\""}));
}

TEST_F(StartUp, CompleteSettingsStartTheChecks)
{
    f.errCount = 2;
    load(completeSetting());
    EXPECT_EQ(f.errCount, 0);
    EXPECT_EQ(f.txtLog.Text(), "/var/log/sentrybell/iiserr.txt");
    EXPECT_EQ(f.txtParaPath.Text(), "/srv/check");
    EXPECT_EQ(f.txtTimeout.Text(), "20");
    EXPECT_EQ(f.txtTimer.Text(), "30");
    EXPECT_EQ(f.txtUrl.Text(), "http://www.example.test/check.htm");
    EXPECT_EQ(f.txtSubject.Text(), "障害");
    EXPECT_EQ(f.txtCC.Text(), "boss@example.test");
    EXPECT_EQ(f.chkSysStart.Value(), 1);
    EXPECT_EQ(f.txtUser.Text(), "operator");
    EXPECT_TRUE(f.OptBoot(0).Value());
    EXPECT_TRUE(f.Timer1.Enabled());
    EXPECT_EQ(f.Timer1.Interval(), 30000);
    EXPECT_TRUE(f.手動チェック.Enabled());
    EXPECT_TRUE(f.Command5.Enabled());
    EXPECT_EQ(f.Command5.Caption(), "タイマー停止");
    EXPECT_EQ(err.text(), "");
    EXPECT_EQ(h.report.events, (std::vector<std::string>{Started, "event=settings_loaded file=" + std::string(Path)}));
    ASSERT_TRUE(h.timer.fireNext()); // the first check is due 30 s after start-up
}

TEST_F(StartUp, TheMetricsFileNamedInItsOwnSectionIsWrittenAtOnce)
{
    writeFile(completeSetting(), completeMail());
    h.files.files[Path] += "[METRICS]\r\nFILE=/srv/check/sentrybell.prom\r\n";
    f.Form_Load();
    EXPECT_EQ(f.metrics.file, "/srv/check/sentrybell.prom");
    const std::string text = h.files.files["/srv/check/sentrybell.prom"];
    EXPECT_NE(text.find("\nsentrybell_timer_running 1\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("sentrybell_last_check_"), std::string::npos) << "no check yet, so no last check";
    EXPECT_EQ(h.files.lastAccess, NewFileAccess::Public);
}

TEST_F(StartUp, AFileWithoutLoginTakesTheAccountFromTheRegistry)
{
    setRegistry("AutoAdminLogon", "1");
    setRegistry("DefaultUserName", "regUser");
    setRegistry("DefaultPassword", " reg pw ");
    Keys setting = completeSetting();
    setting.erase("LOGIN");
    load(setting);
    EXPECT_EQ(f.chkSysStart.Value(), 1);
    EXPECT_EQ(f.txtUser.Text(), "regUser");
    EXPECT_EQ(f.txtUserPass.Text(), " reg pw ");
    EXPECT_EQ(h.registry.reads, (std::vector<std::string>{"AutoAdminLogon", "DefaultUserName", "DefaultPassword"}));
}

TEST_F(StartUp, LoginZeroInTheFileWinsOverTheRegistry)
{
    setRegistry("AutoAdminLogon", "1");
    setRegistry("DefaultUserName", "regUser");
    Keys setting = completeSetting();
    setting["LOGIN"] = "0";
    load(setting);
    EXPECT_EQ(f.chkSysStart.Value(), 0);
    EXPECT_EQ(f.txtUser.Text(), "operator");
    EXPECT_TRUE(h.registry.reads.empty());
}

TEST_F(StartUp, NoAutoLogonAnywhereKeepsTheDesignTimeUser)
{
    Keys setting = completeSetting();
    setting.erase("LOGIN");
    setting.erase("ID");
    load(setting);
    EXPECT_EQ(f.chkSysStart.Value(), 0);
    EXPECT_EQ(f.txtUser.Text(), "Administrator");
    EXPECT_EQ(h.registry.reads, (std::vector<std::string>{"AutoAdminLogon"}));
}

TEST_F(StartUp, OnlyAStoredOneChoosesTheReboot)
{
    for (const char* restart : std::initializer_list<const char*>{"", "2", "abc", "-1", "0", nullptr}) {
        Keys setting = completeSetting();
        if (restart == nullptr) {
            setting.erase("RESTART");
        } else {
            setting["RESTART"] = restart;
        }
        writeFile(setting, completeMail());
        FormHarness other;
        other.files = h.files;
        other.form.Form_Load();
        EXPECT_TRUE(other.form.OptBoot(0).Value()) << (restart ? restart : "absent");
        EXPECT_FALSE(other.form.OptBoot(1).Value());
    }
    Keys setting = completeSetting();
    setting["RESTART"] = "1";
    load(setting);
    EXPECT_TRUE(f.OptBoot(1).Value());
    EXPECT_FALSE(f.OptBoot(0).Value());
}

TEST_F(StartUp, AnIntervalTheTimerCannotTakeShowsEmptyAndKeepsTheChecksOff)
{
    for (const char* timer : {"0", "", "abc", "2147484", "-5"}) {
        Keys setting = completeSetting();
        setting["TIMER"] = timer;
        writeFile(setting, completeMail());
        FormHarness other;
        other.files = h.files;
        other.form.Form_Load();
        EXPECT_EQ(other.form.txtTimer.Text(), "") << timer;
        EXPECT_FALSE(other.form.Timer1.Enabled()) << timer;
        EXPECT_FALSE(other.form.Command5.Enabled()) << timer;
    }
    EXPECT_NE(err.text().find("txtTimer is empty"), std::string::npos) << err.text();
}

TEST_F(StartUp, StoredNumbersAreShownAsNumbers)
{
    Keys setting = completeSetting();
    setting["TIMEOUT"] = "030";
    setting["TIMER"] = "0060";
    load(setting);
    EXPECT_EQ(f.txtTimeout.Text(), "30");
    EXPECT_EQ(f.txtTimer.Text(), "60");
    EXPECT_EQ(f.Timer1.Interval(), 60000);
}

TEST_F(StartUp, ATimeoutItsRuleRefusesShowsEmptyAndKeepsTheChecksOff)
{
    // Zero passed once, and every check then failed before any request.
    for (const char* timeout : {"0", "thirty", "2147484", "1.5"}) {
        Keys setting = completeSetting();
        setting["TIMEOUT"] = timeout;
        writeFile(setting, completeMail());
        FormHarness other;
        other.files = h.files;
        err.clear();
        other.form.Form_Load();
        EXPECT_EQ(other.form.txtTimeout.Text(), "") << timeout;
        EXPECT_FALSE(other.form.Timer1.Enabled()) << timeout;
        EXPECT_NE(err.text().find("txtTimeout is empty"), std::string::npos) << err.text();
        EXPECT_EQ(other.report.events.back(),
                  "event=settings_refused file=" + std::string(Path) + " key=TIMEOUT reason=\"is empty\"");
    }
}

TEST_F(StartUp, KidouStartsInTheTrayOnly)
{
    Keys setting = completeSetting();
    setting["KIDOU"] = "1";
    load(setting);
    EXPECT_EQ(f.chkKidou.Value(), 1);
    EXPECT_FALSE(f.Visible());
    EXPECT_EQ(f.WindowState(), 1);
    EXPECT_TRUE(h.tray.iconShown);
    EXPECT_TRUE(f.Timer1.Enabled());

    // Where no notification area takes the icon, the window only starts minimised: it must stay in reach.
    FormHarness trayless;
    trayless.files = h.files;
    trayless.tray.takesIcon = false;
    trayless.form.Form_Load();
    EXPECT_TRUE(trayless.form.Visible());
    EXPECT_EQ(trayless.form.WindowState(), 1);
}

TEST_F(StartUp, CheckBoxValuesOtherThanOneLeaveTheBoxesUnchecked)
{
    Keys setting = completeSetting();
    setting["KIDOU"] = "yes";
    setting["LOGIN"] = "7";
    load(setting);
    EXPECT_EQ(f.chkKidou.Value(), 0);
    EXPECT_TRUE(f.Visible());
    EXPECT_EQ(f.chkSysStart.Value(), 0);
    EXPECT_EQ(f.txtUser.Text(), "operator"); // a LOGIN that is there still means the file wins
}

TEST_F(StartUp, AnExecutableInTheRootFolderGivesOneSeparator)
{
    h.environment.folder = "/";
    f.Form_Load();
    EXPECT_EQ(f.IniPath, "/SETTING.ini");
}

TEST_F(StartUp, AFileWithOnlyTheMailSectionIsIncomplete)
{
    h.files.files[Path] = "[MAIL]\nADDRESS=watch@example.test\n";
    f.Form_Load();
    EXPECT_EQ(f.txtFrom.Text(), "watch@example.test");
    EXPECT_EQ(f.txtLog.Text(), "");
    EXPECT_EQ(f.txtUrl.Text(), ""); // the design-time "http://" gives way to the empty stored value
    EXPECT_FALSE(f.Timer1.Enabled());
    EXPECT_FALSE(f.手動チェック.Enabled());
    EXPECT_FALSE(f.Menu_Start.Enabled());
    EXPECT_TRUE(f.Menu_Stop.Enabled());
    EXPECT_NE(err.text().find("txtLog is empty"), std::string::npos) << err.text();
}

TEST_F(StartUp, AMissingSaveFolderLeavesTheFieldsFilledAndTheChecksOff)
{
    Keys setting = completeSetting();
    setting["SAVEFOLDER"] = "/srv/gone";
    load(setting);
    EXPECT_EQ(f.txtParaPath.Text(), "/srv/gone");
    EXPECT_EQ(f.txtTimer.Text(), "30");
    EXPECT_FALSE(f.Timer1.Enabled());
    EXPECT_FALSE(f.Command5.Enabled());
    EXPECT_NE(err.text().find("txtParaPath names a folder that does not exist: /srv/gone"), std::string::npos)
        << err.text();
}

TEST_F(StartUp, WhatTheSavesStoreStartsTheChecksAtTheNextStart)
{
    // A copy field of one blank passes the completeness check; it must still be one blank after a restart.
    {
        FormHarness first;
        first.files = h.files;
        first.form.Form_Load();
        Form1& g = first.form;
        g.txtLog.Text = "/var/log/sentrybell/iiserr.txt";
        g.txtParaPath.Text = "/srv/check";
        g.txtTimeout.Text = "20";
        g.txtTimer.Text = "45";
        g.txtUrl.Text = "http://www.example.test/";
        g.txtProxy.Text = " ";
        g.txtUserPass.Text = "pw";
        g.OptBoot(0).Value = true;
        g.txtFrom.Text = "a@example.test";
        g.txtAcount.Text = "a";
        g.txtPass.Text = "p";
        g.txtSMTP.Text = "smtp.example.test";
        g.txtSubject.Text = "s";
        g.txtSendto.Text = "b@example.test";
        g.txtCC.Text = " ";
        g.Command1_Click();
        g.Command2_Click();
        ASSERT_TRUE(g.Timer1.Enabled());
        h.files.files = first.files.files;
    }
    f.Form_Load();
    EXPECT_EQ(f.txtCC.Text(), " ");
    EXPECT_EQ(f.txtProxy.Text(), " ");
    EXPECT_TRUE(f.Timer1.Enabled());
    EXPECT_EQ(f.Timer1.Interval(), 45000);
}

} // namespace
