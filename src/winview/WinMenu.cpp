// SPDX-License-Identifier: MIT
#include "winview/WinMenu.h"

#include "shell/Controls.h"
#include "win/WideText.h"

namespace {

UINT enabledFlag(bool enabled)
{
    return enabled ? UINT{MF_ENABLED} : UINT{MF_GRAYED};
}

} // namespace

WinMenu::WinMenu(Menu& menu, UINT firstId) : m_model(menu), m_menu(CreatePopupMenu())
{
    UINT id = firstId;
    for (MenuItem* item : menu.items) {
        if (item->isSeparator()) {
            AppendMenuW(m_menu, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        const std::wstring caption = Widen(item->Caption());
        AppendMenuW(m_menu, MF_STRING | enabledFlag(item->Enabled), id, caption.c_str());
        m_commands[item] = id;
        m_items[id] = item;
        item->addObserver([this, item, id](Control&, Prop prop) {
            if (prop == Prop::Enabled) {
                EnableMenuItem(m_menu, id, MF_BYCOMMAND | enabledFlag(item->Enabled));
            }
        });
        ++id;
    }
}

WinMenu::~WinMenu()
{
    DestroyMenu(m_menu);
}

bool WinMenu::isEnabled() const
{
    return m_model.Enabled;
}

UINT WinMenu::commandOf(const MenuItem& item) const
{
    const auto it = m_commands.find(&item);
    return it == m_commands.end() ? 0 : it->second;
}

void WinMenu::popUpAtCursor(HWND owner)
{
    POINT at{};
    GetCursorPos(&at);
    SetForegroundWindow(owner);
    // Always to the right of the mouse, whatever the handedness setting says.
    m_open = true;
    const auto chosen = static_cast<UINT>(TrackPopupMenuEx(
        m_menu, TPM_LEFTALIGN | TPM_LEFTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY, at.x, at.y, owner, nullptr));
    m_open = false;
    // Lets the owner's queue run once, so that the next popup closes as it should.
    PostMessageW(owner, WM_NULL, 0, 0);
    if (const auto it = m_items.find(chosen); chosen != 0 && it != m_items.end()) {
        Raise(it->second->Click);
    }
}
