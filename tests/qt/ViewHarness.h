// SPDX-License-Identifier: MIT
#pragma once

#include "fakes/FormHarness.h"
#include "linux/PlatformWords.h"
#include "qt/AppIcon.h"
#include "qt/MainWindow.h"
#include "qt/QtServices.h"
#include "qt/QtTestApplication.h"
#include "qt/QtTray.h"
#include "shell/Form1.h"

#include <QApplication>

// The real window, tray and lifetime over fakes of the rest, with the Linux program's words.
struct ViewHarness
{
    QApplication& app = TestApplication();
    FakePorts fakes;
    FakeEnvironment& environment = fakes.environment;
    FakeMessageBox& messageBox = fakes.messageBox;
    FakeShell& shell = fakes.shell;
    QtLifetime lifetime;
    QtTray tray{AppIcon()};
    Form1 form{services()};
    MainWindow window{form, tray};

    ViewHarness() { lifetime.setWindow(&window); }

    Form1Services services()
    {
        Form1Services s = fakes.services({.tray = &tray, .lifetime = &lifetime});
        s.notice = LinuxNotice();
        return s;
    }

    template <typename W> W* widget(const Control& control) { return qobject_cast<W*>(window.widgetFor(control)); }
};
