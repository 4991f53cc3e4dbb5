// SPDX-License-Identifier: MIT
// The composition root of the Windows program: the one place that wires the Windows adapters, the
// libcurl adapters, the model and the Win32 view together.
#include "net/CurlInternetClient.h"
#include "net/CurlMailer.h"
#include "shell/Form1.h"
#include "win/InstanceMutex.h"
#include "win/WinClock.h"
#include "win/WinEnvironment.h"
#include "win/WinFileSystem.h"
#include "win/WinProcessLauncher.h"
#include "win/WinRegistryStore.h"
#include "win/WinSystemLog.h"
#include "win/WinSystemProxy.h"
#include "win/WinTextEncoding.h"
#include "winapp/PlatformWords.h"
#include "winapp/resource.h"
#include "winview/MessageLoop.h"
#include "winview/WinFileChooser.h"
#include "winview/WinFolderChooser.h"
#include "winview/WinMainWindow.h"
#include "winview/WinTray.h"
#include "winview/WinUiServices.h"

#include <commctrl.h>
#include <objbase.h>
#include <windows.h>

namespace {

HICON loadIcon(HINSTANCE instance, int size)
{
    return static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCEW(IDI_SENTRYBELL), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
}

// COM for the shell's dialogs (the folder browser), in the window's single-threaded apartment.
class ComApartment
{
public:
    ComApartment() : m_ok(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {}
    ~ComApartment()
    {
        if (m_ok) {
            CoUninitialize();
        }
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool m_ok;
};

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR /*commandLine*/, int /*show*/)
{
    const ComApartment com;
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);

    WinClock clock;
    WinEnvironment environment;
    const InstanceMutex guard(environment.executableFolder());
    if (guard.state() == InstanceMutex::State::HeldElsewhere) {
        // The running watchdog's window comes to the front, restored; this start says so and ends.
        AllowSetForegroundWindow(ASFW_ANY);
        PostMessageW(HWND_BROADCAST, ShowRequestMessage(environment.executableFolder()), 0, 0);
        MessageBoxW(nullptr, L"このフォルダーの Sentrybell は既に実行中です。", L"Sentrybell",
                    MB_OK | MB_ICONEXCLAMATION);
        return 1;
    }

    WinFileSystem files([](const std::string& text) { ReportToEventLog(ReportKind::LogLineNotWritten, text); });
    WinTextEncoding encoding;
    WinMessageBox messageBox;
    WinLifetime lifetime;
    WinShell shell;
    WinTray tray;
    WinFileChooser fileChooser;
    WinFolderChooser folderChooser;
    // With the proxy field empty, the manual proxy of the user's Internet options applies.
    CurlInternetClient internet({}, WinSystemProxyFor);
    WinProcessLauncher launcher;
    WinRegistryStore registry;
    CurlMailer::Options mailOptions;
    mailOptions.report = ReportToEventLog;
    CurlMailer mailer(mailOptions);
    EventLogReport report;

    Form1 form({clock, environment, files, encoding, messageBox, tray, lifetime, shell, internet, mailer, launcher,
                registry, fileChooser, folderChooser, report, WindowsNotice()});
    // The mail account is read from the window at every message, as the other mail fields are.
    mailer.setCredentials([&form] { return MailAccount{form.txtAcount.Text, form.txtPass.Text}; });

    const int smallSize = GetSystemMetrics(SM_CXSMICON);
    const int largeSize = GetSystemMetrics(SM_CXICON);
    const WinMainWindow::Icons icons{loadIcon(instance, largeSize), loadIcon(instance, smallSize)};
    int exitCode = 0;
    {
        WinMainWindow window(form, tray, instance, icons);
        messageBox.setOwner(window.hwnd());
        lifetime.setWindow(window.hwnd());
        fileChooser.setOwner(window.hwnd());
        folderChooser.setOwner(window.hwnd());

        form.Form_Load();
        window.showAsModelSays();
        window.acceptShowRequests(ShowRequestMessage(environment.executableFolder()));
        exitCode = RunMessageLoop(window.hwnd());
    }
    DestroyIcon(icons.large);
    DestroyIcon(icons.small);
    return exitCode;
}
