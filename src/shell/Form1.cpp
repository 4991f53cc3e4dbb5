// SPDX-License-Identifier: MIT
#include "shell/Form1.h"

#include <utility>

Form1::Form1(Form1Services services) : Control("Form1"), m_services(std::move(services))
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
}

std::vector<Control*> Form1::controls()
{
    std::vector<Control*> all{&手動チェック};
    IIS.forEach([&all](Control& c) { all.push_back(&c); });
    for (Control* c : std::initializer_list<Control*>{&Command5, &comEnd, &Frame1, &txtLog, &Command3, &chkKidou,
                                                      &txtParaPath, &Command4, &txtTimeout, &txtTimer, &txtUrl,
                                                      &txtProxy, &chkSysStart, &txtUser, &txtUserPass}) {
        all.push_back(c);
    }
    OptBoot.forEach([&all](Control& c) { all.push_back(&c); });
    for (Control* c : std::initializer_list<Control*>{&Command1, &Frame2, &txtSendto, &txtCC, &txtFrom, &txtAcount,
                                                      &txtPass, &txtSMTP, &txtSubject, &Command2}) {
        all.push_back(c);
    }
    for (auto* labels : {&Label1, &Label2, &Label3, &Label4, &Label5}) {
        labels->forEach([&all](Control& c) { all.push_back(&c); });
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

std::vector<Control*> Form1::tabOrder()
{
    return {&手動チェック, &IIS(0),      &IIS(1),     &IIS(2),   &IIS(3),   &txtLog,     &txtParaPath, &txtTimeout,
            &txtUrl,       &Command1,    &txtSendto,  &txtCC,    &txtFrom,  &txtSubject, &Command2,    &comEnd,
            &txtAcount,    &txtPass,     &Command3,   &Command4, &Command5, &txtTimer,   &chkKidou,    &txtUserPass,
            &txtUser,      &chkSysStart, &OptBoot(0), &txtProxy, &txtSMTP};
}
