// SPDX-License-Identifier: MIT
#include "shell/TrayIcon.h"

#include "common/TextEncoding.h"
#include "shell/Form1.h"
#include "shell/UiServices.h"

void SetTrayIcon(Form1& owner, const std::string& tipText, TrayMessage message)
{
    auto& services = owner.services();
    services.tray.notifyIcon(message, services.encoding.cutToBytes(tipText, TrayTipMaxBytes));
}

void InstallTraySubclass(Form1& owner)
{
    owner.services().tray.installSubclass();
}

void TearDownTray(Form1& owner)
{
    auto& services = owner.services();
    services.tray.notifyIcon(TrayMessage::Delete, {});
    services.tray.restoreSubclass();
}

void HideToTray(Form1& owner)
{
    if (owner.services().tray.showsIcon()) {
        owner.Visible = false;
    } else {
        owner.WindowState = 1;
    }
}

void ShowStatus(Form1& owner, const std::string& caption)
{
    owner.Caption = caption;
    SetTrayIcon(owner, owner.Caption, TrayMessage::Modify);
}
