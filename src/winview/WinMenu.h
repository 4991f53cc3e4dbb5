// SPDX-License-Identifier: MIT
#pragma once

#include <map>
#include <windows.h>

class Menu;
class MenuItem;

// The native popup menu of the model's Menu_File: one item per model item, in order, separators
// included, each item's enabled state following the model; choosing an item raises its Click slot.
class WinMenu
{
public:
    // Command identifiers of the items are firstId, firstId + 1, ... in the menu's order.
    WinMenu(Menu& menu, UINT firstId);
    ~WinMenu();
    WinMenu(const WinMenu&) = delete;
    WinMenu& operator=(const WinMenu&) = delete;

    // Pops the menu up at the mouse, modally, for the owner window: the owner is made the foreground
    // window first, or the menu would stay open when the operator clicks elsewhere. The chosen item's
    // Click has run when this returns; choosing nothing does nothing.
    void popUpAtCursor(HWND owner);

    HMENU handle() const { return m_menu; }
    UINT commandOf(const MenuItem& item) const;
    // True while the popup is open.
    bool isOpen() const { return m_open; }
    // The model's menu is enabled: it is not while the window has a box or dialog open.
    bool isEnabled() const;

private:
    Menu& m_model;
    HMENU m_menu;
    std::map<const MenuItem*, UINT> m_commands;
    std::map<UINT, MenuItem*> m_items;
    bool m_open = false;
};
