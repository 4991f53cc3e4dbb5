// SPDX-License-Identifier: MIT
// Stands in for iisreset.exe in the tests: appends its arguments, space-separated and ended by CR LF,
// to the file SENTRYBELL_RECORD_FILE names (else to iisreset.calls beside itself), and ends.
// The shell's header needs the system's base header first.
// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on
#include <string>

int main()
{
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    std::wstring line;
    for (int i = 1; i < count; ++i) {
        line += (i > 1 ? L" " : L"") + std::wstring(arguments[i]);
    }
    LocalFree(arguments);
    line += L"\r\n";

    std::wstring path(32768, L'\0');
    DWORD length = GetEnvironmentVariableW(L"SENTRYBELL_RECORD_FILE", path.data(), 32768);
    if (length == 0 || length >= 32768) {
        length = GetModuleFileNameW(nullptr, path.data(), 32768);
        path.resize(length);
        path = path.substr(0, path.find_last_of(L'\\') + 1) + L"iisreset.calls";
    } else {
        path.resize(length);
    }

    const int bytes =
        WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), utf8.data(), bytes, nullptr, nullptr);
    HANDLE file = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return 1;
    }
    DWORD written = 0;
    const BOOL ok = WriteFile(file, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
    CloseHandle(file);
    return ok != FALSE ? 0 : 1;
}
