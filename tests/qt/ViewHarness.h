// SPDX-License-Identifier: MIT
#pragma once

#include "fakes/FakePlatform.h"
#include "fakes/FakeUi.h"
#include "qt/AppIcon.h"
#include "qt/MainWindow.h"
#include "qt/QtServices.h"
#include "qt/QtTestApplication.h"
#include "qt/QtTray.h"
#include "shell/Form1.h"

#include <QApplication>

// The real window, tray and lifetime over fakes of the platform.
struct ViewHarness
{
    QApplication& app = TestApplication();
    FakeClock clock;
    FakeEnvironment environment;
    FakeFileSystem files;
    FakeEncoding encoding;
    FakeMessageBox messageBox;
    FakeShell shell;
    QtLifetime lifetime;
    QtTray tray{AppIcon()};
    Form1 form{services()};
    MainWindow window{form, tray};

    ViewHarness() { lifetime.setWindow(&window); }

    Form1Services services()
    {
        Form1Services s{clock, environment, files, encoding, messageBox, tray, lifetime};
        s.shell = &shell;
        return s;
    }

    template <typename W> W* widget(const Control& control) { return qobject_cast<W*>(window.widgetFor(control)); }
};
