// SPDX-License-Identifier: MIT
#include "monitor/AlertMail.h"

#include "monitor/MailCallSites.h"
#include "shell/Form1.h"

#include <cstdint>

namespace {

// The CC list splits at each semicolon.
constexpr const char* CcSeparator = "/\\;/";

bool holdsMoreThanSpaces(const std::string& text)
{
    return text.find_first_not_of(' ') != std::string::npos;
}

} // namespace

void SendAlertMail(Form1& form)
{
    MailLibrary* mail = form.services().mail;
    if (mail == nullptr) {
        return;
    }
    // The fields are read again for every message: the window may have changed them meanwhile.
    (void)mail->SendMail(form.txtSMTP.Text, form.txtSendto.Text, form.txtFrom.Text, form.txtSubject.Text,
                         form.errReport, std::string());
    if (!holdsMoreThanSpaces(form.txtCC.Text)) {
        return;
    }
    std::int32_t count = 0;
    const std::vector<std::string> pieces = Split(CcSeparator, form.txtCC.Text, count);
    for (const std::string& piece : pieces) {
        // The piece goes as it is, spaces and all, and an empty one too: the mail adapter decides
        // what reaches the envelope.
        (void)mail->SendMail(form.txtSMTP.Text, piece, form.txtFrom.Text, form.txtSubject.Text, form.errReport,
                             std::string());
    }
}
