// SPDX-License-Identifier: MIT
#include "config/SaveRefusal.h"
#include "config/SettingsComplete.h"
#include "config/SettingsFile.h"
#include "shell/Form1.h"

// Stores the mail frame: the MAIL section in one replacement of the file, then the checks re-armed.
// The subject and the copy addresses may be empty; the completeness check then keeps the checks off.
void Form1::Command2_Click()
{
    for (const TextBox* required : {&txtFrom, &txtAcount, &txtPass, &txtSMTP, &txtSendto}) {
        if (required->Text().empty()) {
            RefuseSave(*this, required->name() + " is empty");
            return;
        }
    }

    const IniEntries entries{
        {"ADDRESS", txtFrom.Text()}, {"MAILID", txtAcount.Text()},   {"PASSWORD", txtPass.Text()},
        {"SMTP", txtSMTP.Text()},    {"SUBJECT", txtSubject.Text()}, {"SEND", txtSendto.Text()},
        {"CC", txtCC.Text()},
    };
    auto& s = services();
    std::string failure;
    if (!PutIniSection(s.files, s.encoding, IniPath, MailSection, entries, &failure)) {
        RefuseSave(*this, failure);
        return;
    }
    RearmTimer(*this);
}
