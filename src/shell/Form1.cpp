// SPDX-License-Identifier: MIT
#include "shell/Form1.h"

#include "shell/InputFilters.h"

#include <cstdint>
#include <utility>

namespace {

// The handlers see the modal ports through the gate.
Form1Services throughGate(const Form1Services& s, MessageBoxService& box, FileChooser& files, FolderChooser& folders)
{
    return {s.clock,    s.environment, s.files,    s.encoding, box,   s.tray,  s.lifetime, s.shell,
            s.internet, s.mail,        s.launcher, s.registry, files, folders, s.report,   s.notice};
}

// A slot that runs its handler as one event of the gate.
template <typename Handler> auto gated(EventGate& gate, Handler handler)
{
    return [&gate, handler](auto&&... arguments) {
        const EventGate::Handler running(gate);
        handler(std::forward<decltype(arguments)>(arguments)...);
    };
}

} // namespace

Form1::Form1(Form1Services services)
    : Control("Form1"), m_gate([this](bool open) { Menu_File.Enabled = !open; },
                               [this] {
                                   if (Timer1.Enabled && Timer1.Interval > 0) {
                                       const EventGate::Handler running(m_gate);
                                       Timer1_Timer();
                                   }
                               }),
      m_messageBox(services.messageBox, m_gate), m_fileChooser(services.fileChooser, m_gate),
      m_folderChooser(services.folderChooser, m_gate),
      m_services(throughGate(services, m_messageBox, m_fileChooser, m_folderChooser))
{
    IIS.add(0, "IIS ReStart");
    IIS.add(1, "IIS Start");
    IIS.add(2, "IIS STOP");
    IIS.add(3, "ｼｽﾃﾑ ReBoot");

    OptBoot.add(0, "IIS ReStart");
    OptBoot.add(1, "System ReStart");
    // Option buttons of one group exclude each other: selecting one clears the rest.
    OptBoot.forEach([this](OptionButton& option) {
        option.addObserver([this](Control& changed, Prop prop) {
            auto& selected = static_cast<OptionButton&>(changed);
            if (prop != Prop::Value || !selected.Value()) {
                return;
            }
            OptBoot.forEach([&selected](OptionButton& other) {
                if (&other != &selected) {
                    other.Value = false;
                }
            });
        });
    });

    Label1.add(0, "ログ");
    Label1.add(1, "送信元SMTPサーバ");
    Label1.add(2, "送信先メールアドレス");
    Label1.add(3, "CCメールアドレス");
    Label1.add(4, "送信元メールアドレス");
    Label1.add(5, "メールタイトル");
    Label1.add(6, "送信元メールアカウント");
    Label1.add(7, "送信元メールパスワード");

    Label2.add(0, "パラメータ");
    Label2.add(1, "保存先フォルダ");
    Label2.add(2, "受信ﾀｲﾑｱｳﾄ（最大60秒まで）");
    Label2.add(3, "監視URLファイル（\"http://\"から入力）");
    Label2.add(4, "秒");
    Label2.add(5, "秒");
    Label2.add(6, "繰返し受信間隔");

    Label3.add(0, "ユーザ名");
    Label3.add(1, "ﾊﾟｽﾜｰﾄﾞ名");
    Label3.add(2, "ｴﾗｰ時の起動");
    Label3.add(3, "Proxy設定");

    // The contact notices: a lead-in text and a link-styled text each.
    Label4.add(0, "使い方は");
    Label4.add(2, "ユーザーガイド");
    Label5.add(1, m_services.notice.leadIn);
    Label5.add(0, m_services.notice.link);

    Menu_File.items = {&Menu_Open, &menu_Bar1, &Menu_Start, &Menu_Stop, &menu_Bar2, &Menu_End};
    m_layout = WindowLayout(*this);
    bindEvents();
}

// Each event slot bound to its handler, in this one place, through the gate.
void Form1::bindEvents()
{
    QueryUnload = gated(m_gate, [this](int& cancel, int unloadMode) { Form_QueryUnload(cancel, unloadMode); });
    AnotherStart = gated(m_gate, [this] { Form_AnotherStart(); });
    Timer1.Tick = [this] { m_gate.tick(); };

    手動チェック.Click = gated(m_gate, [this] { 手動チェック_Click(); });
    IIS.forEach([this](CommandButton& button) {
        button.Click = gated(m_gate, [this, index = button.index()] { IIS_Click(index); });
    });
    Command1.Click = gated(m_gate, [this] { Command1_Click(); });
    Command2.Click = gated(m_gate, [this] { Command2_Click(); });
    Command3.Click = gated(m_gate, [this] { Command3_Click(); });
    Command4.Click = gated(m_gate, [this] { Command4_Click(); });
    Command5.Click = gated(m_gate, [this] { Command5_Click(); });
    comEnd.Click = gated(m_gate, [this] { comEnd_Click(); });

    txtTimeout.KeyPress = gated(m_gate, [this](std::int16_t& keyCode) { txtTimeout_KeyPress(keyCode); });
    txtTimeout.LostFocus = gated(m_gate, [this] { txtTimeout_LostFocus(); });
    txtTimer.KeyPress = gated(m_gate, [this](std::int16_t& keyCode) { txtTimer_KeyPress(keyCode); });
    // A paste or an input method's text goes through the same key filter as typing (a pure rule).
    txtTimeout.Change = FilterSecondsFieldEdit;
    txtTimer.Change = FilterSecondsFieldEdit;

    Label4.forEach(
        [this](Label& label) { label.Click = gated(m_gate, [this, index = label.index()] { Label4_Click(index); }); });
    Label5.forEach(
        [this](Label& label) { label.Click = gated(m_gate, [this, index = label.index()] { Label5_Click(index); }); });

    Menu_Open.Click = gated(m_gate, [this] { Menu_Open_Click(); });
    Menu_Start.Click = gated(m_gate, [this] { Menu_Start_Click(); });
    Menu_Stop.Click = gated(m_gate, [this] { Menu_Stop_Click(); });
    Menu_End.Click = gated(m_gate, [this] { Menu_End_Click(); });
}

std::vector<Control*> Form1::controls()
{
    std::vector<Control*> all;
    for (const ControlPlace& place : m_layout) {
        all.push_back(place.control);
    }
    all.push_back(&Menu_File);
    for (MenuItem* item : Menu_File.items) {
        all.push_back(item);
    }
    all.push_back(&Timer1);
    return all;
}

std::vector<TextBox*> Form1::textBoxes()
{
    std::vector<TextBox*> boxes;
    for (Control* c : controls()) {
        if (auto* box = dynamic_cast<TextBox*>(c)) {
            boxes.push_back(box);
        }
    }
    return boxes;
}

std::vector<Control*> Form1::tabOrder() const
{
    std::vector<Control*> stops;
    int previous = NoTabStop;
    for (const ControlPlace* place : FocusOrder(m_layout)) {
        if (place->tabIndex != previous) {
            stops.push_back(place->control);
        }
        previous = place->tabIndex;
    }
    return stops;
}
