// SPDX-License-Identifier: MIT
#include "winview/ModalDriver.h"

#include "win/WideText.h"

#include <vector>

namespace {

ModalDriver* current = nullptr;

struct Search
{
    const wchar_t* className;
    HWND found = nullptr;
};

BOOL CALLBACK matchClass(HWND window, LPARAM data)
{
    auto* search = reinterpret_cast<Search*>(data);
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    if (IsWindowVisible(window) && lstrcmpW(name, search->className) == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

} // namespace

ModalDriver::ModalDriver(std::function<bool()> step, std::chrono::milliseconds limit)
    : m_step(std::move(step)), m_deadline(std::chrono::steady_clock::now() + limit)
{
    current = this;
    m_timer = SetTimer(nullptr, 0, 20, &ModalDriver::tick);
}

ModalDriver::~ModalDriver()
{
    KillTimer(nullptr, m_timer);
    current = nullptr;
}

void CALLBACK ModalDriver::tick(HWND, UINT, UINT_PTR, DWORD)
{
    ModalDriver* self = current;
    if (self == nullptr) {
        return;
    }
    if (std::chrono::steady_clock::now() > self->m_deadline) {
        // Too late: whatever is still open is closed, so the test goes on to fail its checks.
        EndMenu();
        if (HWND dialog = FindThreadWindow(L"#32770")) {
            PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        }
        return;
    }
    if (!self->m_done) {
        self->m_done = self->m_step();
    }
}

HWND FindThreadWindow(const wchar_t* className)
{
    Search search{className};
    EnumThreadWindows(GetCurrentThreadId(), matchClass, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::vector<std::string> MenuItemTexts(HMENU menu)
{
    std::vector<std::string> texts;
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_STRING;
        wchar_t text[128] = {};
        info.dwTypeData = text;
        info.cch = 128;
        GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info);
        texts.push_back((info.fType & MFT_SEPARATOR) != 0 ? std::string("-") : Narrow(text));
    }
    return texts;
}
