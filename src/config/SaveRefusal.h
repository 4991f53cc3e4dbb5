// SPDX-License-Identifier: MIT
#pragma once

#include "shell/Form1.h"
#include "shell/UiServices.h"

// The one message of both saves, shown when a save keeps nothing.
inline constexpr const char* SaveRefusedText = "設定できませんでした。";

inline void RefuseSave(Form1& form)
{
    form.services().messageBox.MsgBox(SaveRefusedText, vbExclamation, AppTitle);
}
