// SPDX-License-Identifier: MIT
#pragma once

#include "common/WindowHandle.h"
#include "monitor/CheckMetrics.h"
#include "shell/Controls.h"
#include "shell/EventGate.h"
#include "shell/WindowLayout.h"

#include <cstdint>
#include <string>
#include <vector>

class Clock;
class Environment;
class FileSystem;
class TextEncoding;
class MessageBoxService;
class TrayService;
class AppLifetime;
class ShellService;
class InternetClient;
class MailLibrary;
class ProcessLauncher;
class RegistryStore;
class FileChooser;
class FolderChooser;
class OperatorReport;

// What the window says and opens where the platforms differ: the second contact notice's lead-in and
// link texts, and the page it opens (a file of the "doc" folder beside the program).
struct PlatformNotice
{
    std::string leadIn;
    std::string link;
    std::string document;
};

// Everything outside the model that the handlers use, each port always wired: the composition root
// owns the adapters and states the platform's words; tests pass fakes.
struct Form1Services
{
    Clock& clock;
    Environment& environment;
    FileSystem& files;
    TextEncoding& encoding;
    MessageBoxService& messageBox;
    TrayService& tray;
    AppLifetime& lifetime;
    ShellService& shell;
    InternetClient& internet;
    MailLibrary& mail;
    ProcessLauncher& launcher;
    RegistryStore& registry;
    FileChooser& fileChooser;
    FolderChooser& folderChooser;
    OperatorReport& report; // what the operator must hear of outside the window
    PlatformNotice notice;
};

inline constexpr const char* AppTitle = "Sentrybell";

// The main window: every control as a plain object, every event as a member function named
// control_event, bound to the control's event slot in one place (bindEvents). A view mirrors the
// controls, builds them from layout(), and raises their slots for the user's actions. Every slot
// enters through one EventGate, and the handlers reach the message box and the dialogs through it.
// Window states: 0 normal, 1 minimised; a view copies the operator's minimise and restore back.
class Form1 : public Control
{
public:
    explicit Form1(Form1Services services);

    // The window itself.
    Property<std::string> Caption{*this, Prop::Caption, AppTitle};
    Property<bool> Visible{*this, Prop::Visible, true};
    Property<int> WindowState{*this, Prop::WindowState, 0};
    // The platform's handle of the window, for the dialogs it owns; 0 while the view gives none, and
    // the dialog adapters then use the window they were given.
    WindowHandle hWnd = 0;
    // The window's close request (0 the close box or the program, 2 Windows shutting down); setting
    // cancel keeps the window.
    std::function<void(int& cancel, int unloadMode)> QueryUnload;
    // Another start of the program from the same folder asked for the window.
    std::function<void()> AnotherStart;

    // Left column.
    CommandButton 手動チェック{"手動チェック", "手動チェック"};
    ControlArray<CommandButton> IIS{"IIS"};
    CommandButton Command5{"Command5", "タイマー停止"};
    CommandButton comEnd{"comEnd", "閉じる"};

    // Monitoring frame.
    Frame Frame1{"Frame1", "監視設定"};
    TextBox txtLog{"txtLog"};
    CommandButton Command3{"Command3", "検索..."};
    CheckBox chkKidou{"chkKidou", "起動時ﾀｽｸﾄﾚｲ入れる。"};
    TextBox txtParaPath{"txtParaPath"};
    CommandButton Command4{"Command4", "検索..."};
    TextBox txtTimeout{"txtTimeout"};
    TextBox txtTimer{"txtTimer"};
    TextBox txtUrl{"txtUrl", "http://"};
    TextBox txtProxy{"txtProxy"};
    CheckBox chkSysStart{"chkSysStart", "自動ログイン"};
    TextBox txtUser{"txtUser", "Administrator"};
    TextBox txtUserPass{"txtUserPass", "", true};
    ControlArray<OptionButton> OptBoot{"OptBoot"};
    CommandButton Command1{"Command1", "設　定"};

    // Mail frame.
    Frame Frame2{"Frame2", "送信メール設定"};
    TextBox txtSendto{"txtSendto"};
    TextBox txtCC{"txtCC"};
    TextBox txtFrom{"txtFrom"};
    TextBox txtAcount{"txtAcount"};
    TextBox txtPass{"txtPass", "", true};
    TextBox txtSMTP{"txtSMTP"};
    TextBox txtSubject{"txtSubject"};
    CommandButton Command2{"Command2", "設　定"};

    // Static texts and the contact notices along the bottom edge.
    ControlArray<Label> Label1{"Label1"};
    ControlArray<Label> Label2{"Label2"};
    ControlArray<Label> Label3{"Label3"};
    ControlArray<Label> Label4{"Label4"};
    ControlArray<Label> Label5{"Label5"};

    // The menu, shown as the tray icon's popup.
    Menu Menu_File{"Menu_File", "ファイル(&F)"};
    MenuItem Menu_Open{"Menu_Open", "設定画面表示(&O)"};
    MenuItem menu_Bar1{"menu_Bar1", "-"};
    MenuItem Menu_Start{"Menu_Start", "開始(&P)"};
    MenuItem Menu_Stop{"Menu_Stop", "停止(&S)"};
    MenuItem menu_Bar2{"menu_Bar2", "-"};
    MenuItem Menu_End{"Menu_End", "終了"};

    Timer Timer1{"Timer1", 5000, true};

    // Window-level state.
    std::int16_t errCount = 0; // failed checks in a row
    std::string errReport;     // one alert line per failed check since start-up; the alert mail's body
    std::string IniPath;       // full path of SETTING.ini, formed at start-up
    CheckMetrics metrics;      // what the metrics file reports

    // Event handlers.
    void Form_Load();
    void Form_QueryUnload(int& cancel, int unloadMode);
    void Timer1_Timer();
    void 手動チェック_Click();
    void IIS_Click(int index);
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void comEnd_Click();
    void Menu_Open_Click();
    void Menu_Start_Click();
    void Menu_Stop_Click();
    void Menu_End_Click();
    void txtTimeout_KeyPress(std::int16_t& keyCode);
    void txtTimeout_LostFocus();
    void txtTimer_KeyPress(std::int16_t& keyCode);
    void Label4_Click(int index);
    void Label5_Click(int index);
    void Form_AnotherStart();

    // Where and how the window shows each control (WindowLayout).
    const std::vector<ControlPlace>& layout() const { return m_layout; }
    // Every control: those of the layout in its order, then the menu, its items and the timer; and the
    // text boxes among them.
    std::vector<Control*> controls();
    std::vector<TextBox*> textBoxes();
    // The stops of the Tab key in order (an option group stands as its first button).
    std::vector<Control*> tabOrder() const;

    Form1Services& services() { return m_services; }

private:
    void bindEvents();

    EventGate m_gate;
    GatedMessageBox m_messageBox;
    GatedFileChooser m_fileChooser;
    GatedFolderChooser m_folderChooser;
    Form1Services m_services;
    std::vector<ControlPlace> m_layout;
    std::string m_checksHeldBy; // why the last tick ran no check; empty once one ran
};
