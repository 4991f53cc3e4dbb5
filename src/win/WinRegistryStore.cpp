// SPDX-License-Identifier: MIT
#include "win/WinRegistryStore.h"

#include "win/WideText.h"
#include "win/WinTextEncoding.h"

#include <cstring>
#include <optional>
#include <vector>

namespace {

// Above this a value is not the text of a logon setting; it is read as missing.
constexpr DWORD MaxValueBytes = 1U << 20;

HKEY rootOf(RegistryHive hive)
{
    switch (hive) {
    case RegistryHive::LocalMachine:
        return HKEY_LOCAL_MACHINE;
    }
    return nullptr;
}

// The wide form of a key path or value name; nothing when a NUL would cut it to another name.
std::optional<std::wstring> wideName(const std::string& name)
{
    if (name.find('\0') != std::string::npos) {
        return std::nullopt;
    }
    return Widen(name);
}

std::string textOf(DWORD type, const std::vector<BYTE>& data)
{
    if (type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ) {
        std::wstring text(data.size() / sizeof(wchar_t), L'\0');
        std::memcpy(text.data(), data.data(), text.size() * sizeof(wchar_t));
        return Narrow(std::wstring_view(text).substr(0, text.find(L'\0')));
    }
    std::string bytes(data.begin(), data.end());
    return WinTextEncoding().fromPlatform(bytes.substr(0, bytes.find('\0')));
}

} // namespace

LSTATUS WinRegistryCalls::openKey(HKEY root, const wchar_t* subkey, REGSAM access, HKEY* key)
{
    return RegOpenKeyExW(root, subkey, 0, access, key);
}

LSTATUS WinRegistryCalls::createKey(HKEY root, const wchar_t* subkey, REGSAM access, HKEY* key, DWORD* disposition)
{
    return RegCreateKeyExW(root, subkey, 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, key, disposition);
}

LSTATUS WinRegistryCalls::queryValue(HKEY key, const wchar_t* name, DWORD* type, BYTE* data, DWORD* size)
{
    return RegQueryValueExW(key, name, nullptr, type, data, size);
}

LSTATUS WinRegistryCalls::setValue(HKEY key, const wchar_t* name, DWORD type, const BYTE* data, DWORD size)
{
    return RegSetValueExW(key, name, 0, type, data, size);
}

LSTATUS WinRegistryCalls::deleteKey(HKEY root, const wchar_t* subkey, REGSAM view)
{
    return RegDeleteKeyExW(root, subkey, view, 0);
}

LSTATUS WinRegistryCalls::closeKey(HKEY key)
{
    return RegCloseKey(key);
}

WinRegistryCalls& WinRegistryCalls::system()
{
    static WinRegistryCalls calls;
    return calls;
}

WinRegistryStore::WinRegistryStore(WinRegistryCalls& calls) : m_calls(calls) {}

std::string WinRegistryStore::read(RegistryHive hive, const std::string& subkey, const std::string& valueName) const
{
    const auto path = wideName(subkey);
    const auto name = wideName(valueName);
    const HKEY root = rootOf(hive);
    if (!path || !name || root == nullptr) {
        return {};
    }
    HKEY key = nullptr;
    if (m_calls.openKey(root, path->c_str(), KEY_QUERY_VALUE | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS) {
        return {};
    }
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
    // Asked again while the value grows between the size query and the read.
    LSTATUS status = ERROR_MORE_DATA;
    for (int attempt = 0; attempt < 4 && status == ERROR_MORE_DATA; ++attempt) {
        DWORD size = 0;
        status = m_calls.queryValue(key, name->c_str(), &type, nullptr, &size);
        if (status != ERROR_SUCCESS || size > MaxValueBytes) {
            status = ERROR_INVALID_DATA;
            break;
        }
        data.resize(size);
        status = m_calls.queryValue(key, name->c_str(), &type, data.data(), &size);
        data.resize(size);
    }
    m_calls.closeKey(key);
    return status == ERROR_SUCCESS ? textOf(type, data) : std::string();
}

bool WinRegistryStore::write(RegistryHive hive, const std::string& subkey, const std::string& valueName,
                             const std::string& value)
{
    const auto path = wideName(subkey);
    const auto name = wideName(valueName);
    const HKEY root = rootOf(hive);
    if (!path || !name || root == nullptr) {
        return false;
    }
    HKEY key = nullptr;
    DWORD disposition = 0;
    if (m_calls.createKey(root, path->c_str(), KEY_SET_VALUE | KEY_WOW64_64KEY, &key, &disposition) != ERROR_SUCCESS) {
        return false;
    }
    // REG_SZ holds its terminating NUL, counted in the size.
    const std::wstring data = Widen(value);
    const auto bytes = static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t));
    const bool written = m_calls.setValue(key, name->c_str(), REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                                          bytes) == ERROR_SUCCESS;
    m_calls.closeKey(key);
    if (!written && disposition == REG_CREATED_NEW_KEY) {
        m_calls.deleteKey(root, path->c_str(), KEY_WOW64_64KEY);
    }
    return written;
}
