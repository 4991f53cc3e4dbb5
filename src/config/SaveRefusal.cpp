// SPDX-License-Identifier: MIT
#include "config/SaveRefusal.h"

#include "common/OperatorReport.h"
#include "shell/Form1.h"
#include "shell/UiServices.h"

void RefuseSave(Form1& form, const std::string& why, Control* field)
{
    form.services().report.report(ReportKind::SaveRefused, "the settings were not saved: " + why);
    form.services().messageBox.MsgBox(SaveRefusedText, vbExclamation, AppTitle);
    if (field != nullptr) {
        field->SetFocus();
    }
}
