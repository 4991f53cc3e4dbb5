// SPDX-License-Identifier: MIT
// A stand-in for iisreset.exe that records how it was started, for the tests of the process launcher,
// of the shell and of the Windows program.
// It appends to the file named by SENTRYBELL_RECORDER_FILE, in UTF-8, one line each:
//   COMMAND <the command line as given>
//   ARG <each argument as the C runtime split it>
//   SHOW <STARTUPINFO's show flag, 1 or 0> <its show state>
//   IDS <its process id> <its thread id>
//   STARTED
// and then, when SENTRYBELL_RECORDER_RELEASE names an event, waits for it (at most 30 s) and appends
//   RELEASED
// so that a test can tell that its launcher did not wait for the program to end (or "NO EVENT
// <error>" or "NOT RELEASED", for the test to show what went wrong).
#include <string>
#include <windows.h>

namespace {

std::wstring variable(const wchar_t* name)
{
    wchar_t value[1024] = {};
    const DWORD length = GetEnvironmentVariableW(name, value, 1024);
    return length > 0 && length < 1024 ? std::wstring(value, length) : std::wstring();
}

std::string utf8(const std::wstring& text)
{
    if (text.empty()) {
        return {};
    }
    const int inLength = static_cast<int>(text.size());
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), inLength, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), inLength, out.data(), length, nullptr, nullptr);
    return out;
}

void appendNow(const std::wstring& file, const std::string& text)
{
    // The test reads the file while recorders write it; a moment's sharing conflict is waited out.
    HANDLE handle = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 500 && handle == INVALID_HANDLE_VALUE; ++attempt) {
        handle = CreateFileW(file.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                             nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            Sleep(10);
        }
    }
    if (handle == INVALID_HANDLE_VALUE) {
        return;
    }
    DWORD written = 0;
    WriteFile(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(handle);
}

// One recorder appends at a time: under Wine, two processes appending to one file at the same moment
// can write at the same offset, and a line is lost.
void append(const std::wstring& file, const std::string& text)
{
    const HANDLE turn = CreateMutexW(nullptr, FALSE, L"sentrybell-recorder-append");
    const bool held = turn != nullptr && WaitForSingleObject(turn, 10000) == WAIT_OBJECT_0;
    appendNow(file, text);
    if (held) {
        ReleaseMutex(turn);
    }
    if (turn != nullptr) {
        CloseHandle(turn);
    }
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    const std::wstring record = variable(L"SENTRYBELL_RECORDER_FILE");
    if (record.empty()) {
        return 2;
    }
    std::string lines = "COMMAND " + utf8(GetCommandLineW()) + "\n";
    for (int i = 1; i < argc; ++i) {
        lines += "ARG " + utf8(argv[i]) + "\n";
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    GetStartupInfoW(&startup);
    lines += "SHOW " + std::to_string((startup.dwFlags & STARTF_USESHOWWINDOW) != 0 ? 1 : 0) + " " +
             std::to_string(startup.wShowWindow) + "\nIDS " + std::to_string(GetCurrentProcessId()) + " " +
             std::to_string(GetCurrentThreadId()) + "\nSTARTED\n";
    append(record, lines); // in one write, so a reader never sees half of it

    const std::wstring release = variable(L"SENTRYBELL_RECORDER_RELEASE");
    if (!release.empty()) {
        const HANDLE event = OpenEventW(SYNCHRONIZE, FALSE, release.c_str());
        if (event == nullptr) {
            append(record, "NO EVENT " + std::to_string(GetLastError()) + "\n");
            return 3;
        }
        const DWORD waited = WaitForSingleObject(event, 30000);
        append(record, waited == WAIT_OBJECT_0 ? "RELEASED\n" : "NOT RELEASED " + std::to_string(waited) + "\n");
        CloseHandle(event);
    }
    return 0;
}
