// SPDX-License-Identifier: MIT
#include "fakes/FakeUi.h"

void FakeTray::notifyIcon(TrayMessage message, const std::string& text)
{
    switch (message) {
    case TrayMessage::Add:
        calls.push_back("add:" + text);
        iconShown = true;
        tip = text;
        break;
    case TrayMessage::Modify:
        calls.push_back("modify:" + text);
        if (iconShown) {
            tip = text;
        }
        break;
    case TrayMessage::Delete:
        calls.emplace_back("delete");
        iconShown = false;
        break;
    }
}
