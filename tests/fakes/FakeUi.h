// SPDX-License-Identifier: MIT
#pragma once

#include "shell/UiServices.h"

#include <functional>
#include <string>
#include <vector>

struct ShownMessage
{
    std::string text;
    int style;
    std::string title;
};

class FakeMessageBox : public MessageBoxService
{
public:
    std::vector<ShownMessage> shown;
    std::function<void()> whileOpen; // what happens while the box is open, before the operator closes it
    void MsgBox(const std::string& text, int style, const std::string& title) override
    {
        shown.push_back({text, style, title});
        if (whileOpen) {
            whileOpen();
        }
    }
};

// Records every tray call and keeps the icon's state as a notification area would.
class FakeTray : public TrayService
{
public:
    std::vector<std::string> calls; // "add:<tip>", "modify:<tip>", "delete", "subclass", "restore"
    bool iconShown = false;
    bool takesIcon = true; // false: a desktop without a notification area
    bool subclassed = false;
    std::string tip;

    void notifyIcon(TrayMessage message, const std::string& text) override;
    void installSubclass() override
    {
        calls.emplace_back("subclass");
        subclassed = true;
    }
    void restoreSubclass() override
    {
        calls.emplace_back("restore");
        subclassed = false;
    }
    bool showsIcon() const override { return iconShown && takesIcon; }
};

class FakeLifetime : public AppLifetime
{
public:
    int unloads = 0;
    int endings = 0;
    void unloadWindow() override { ++unloads; }
    void endNow() override { ++endings; }
};

class FakeShell : public ShellService
{
public:
    std::vector<std::string> opened;
    void openDocument(const std::string& document) override { opened.push_back(document); }
};
