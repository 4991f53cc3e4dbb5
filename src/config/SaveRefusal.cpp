// SPDX-License-Identifier: MIT
#include "config/SaveRefusal.h"

#include "shell/Form1.h"
#include "shell/UiServices.h"

#include <iostream>

void RefuseSave(Form1& form, const std::string& why, Control* field)
{
    std::cerr << AppTitle << ": the settings were not saved: " << why << '\n';
    form.services().messageBox.MsgBox(SaveRefusedText, vbExclamation, AppTitle);
    if (field != nullptr) {
        field->SetFocus();
    }
}
