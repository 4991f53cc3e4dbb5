// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <windows.h>

// Answers a modal loop of this thread (a message box, a file dialog, a popup menu) the way an operator
// would: `step` runs from a thread timer every 20 ms while the loop runs, and returns true once it has
// done its part. After the time limit the driver stops calling it and closes whatever modal window
// of the thread is open, so a test that waits for the wrong thing fails instead of hanging.
class ModalDriver
{
public:
    explicit ModalDriver(std::function<bool()> step, std::chrono::milliseconds limit = std::chrono::seconds(10));
    ~ModalDriver();
    ModalDriver(const ModalDriver&) = delete;
    ModalDriver& operator=(const ModalDriver&) = delete;

    // The step has reported done.
    bool done() const { return m_done; }

private:
    static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD);

    std::function<bool()> m_step;
    std::chrono::steady_clock::time_point m_deadline;
    UINT_PTR m_timer = 0;
    bool m_done = false;
};

// The first visible window of this thread with that class ("#32770" a dialog, "#32768" a popup menu).
HWND FindThreadWindow(const wchar_t* className);

// The texts of a popup menu's items, "-" for a separator.
std::vector<std::string> MenuItemTexts(HMENU menu);
