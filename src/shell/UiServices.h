// SPDX-License-Identifier: MIT
#pragma once

#include <string>

// Ports through which the window's handlers reach the desktop. None of them reports a failure to
// its caller: the program never examines the results of these calls.

// Message box style 48: an OK button only and the exclamation icon, the one style the program uses.
inline constexpr int vbExclamation = 48;

class MessageBoxService
{
public:
    virtual ~MessageBoxService() = default;
    // Shows a modal box and returns when the operator has closed it.
    virtual void MsgBox(const std::string& text, int style, const std::string& title) = 0;
};

// What a call does to the notification-area icon.
enum class TrayMessage
{
    Add,
    Modify,
    Delete,
};

// The notification-area icon of the main window and the "subclass" that routes the icon's right
// click to the window's menu. Where the desktop has no notification area every call is harmless.
class TrayService
{
public:
    virtual ~TrayService() = default;
    // Add shows the icon with the tip; Modify changes the tip of a shown icon and does nothing when
    // there is none (it never brings a deleted icon back); Delete removes the icon if shown.
    virtual void notifyIcon(TrayMessage message, const std::string& tip) = 0;
    // From now on a right click on the icon (button released) pops the window's menu at the mouse.
    virtual void installSubclass() = 0;
    // Undoes installSubclass(); harmless when nothing is installed.
    virtual void restoreSubclass() = 0;
    // The icon is in the notification area now, where a click on it can bring the window back: added,
    // not deleted, and taken by a notification area.
    virtual bool showsIcon() const = 0;
};

// The two ways the program ends.
class AppLifetime
{
public:
    virtual ~AppLifetime() = default;
    // Unloads the window: Form_QueryUnload runs, then the program ends once the handler returns.
    virtual void unloadWindow() = 0;
    // Ends the program as soon as the running handler returns, with no unload handling.
    // The caller returns at once after this call.
    virtual void endNow() = 0;
};

// Hands a document or address to the desktop, which opens it with the program meant for it; does not
// wait and reports nothing.
class ShellService
{
public:
    virtual ~ShellService() = default;
    virtual void openDocument(const std::string& document) = 0;
};
