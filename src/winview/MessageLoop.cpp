// SPDX-License-Identifier: MIT
#include "winview/MessageLoop.h"

namespace {

void dispatch(HWND window, MSG& message)
{
    if (window != nullptr && IsWindow(window) && IsDialogMessageW(window, &message)) {
        return;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

} // namespace

int RunMessageLoop(HWND window)
{
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        dispatch(window, message);
    }
    return static_cast<int>(message.wParam);
}

bool PumpPendingMessages(HWND window)
{
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return false;
        }
        dispatch(window, message);
    }
    return true;
}
