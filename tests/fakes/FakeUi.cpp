// SPDX-License-Identifier: MIT
#include "fakes/FakeUi.h"

void FakeTray::notifyIcon(int messageCode, const std::string& text)
{
    switch (messageCode) {
    case NIM_ADD:
        calls.push_back("add:" + text);
        iconShown = true;
        tip = text;
        break;
    case NIM_MODIFY:
        calls.push_back("modify:" + text);
        if (iconShown) {
            tip = text;
        }
        break;
    case NIM_DELETE:
        calls.emplace_back("delete");
        iconShown = false;
        break;
    default:
        calls.push_back("unknown:" + text);
        break;
    }
}
