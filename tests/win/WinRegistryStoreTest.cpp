// SPDX-License-Identifier: MIT
// The registry store against Wine's registry, in a key of the test's own under HKEY_LOCAL_MACHINE,
// and against the Winlogon key itself. A write refused for want of rights cannot happen under Wine,
// which lets anyone write there, so the refusal is injected at the store's seam.
#include "win/WinRegistryStore.h"

#include "win/WideText.h"

#include <gtest/gtest.h>

namespace {

const std::string Winlogon = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";

// Direct calls, independent of the store, for the tests' own arrangements and checks.
struct RawValue
{
    LSTATUS status = ERROR_FILE_NOT_FOUND;
    DWORD type = REG_NONE;
    std::string bytes;
};

RawValue rawRead(const std::string& subkey, const std::wstring& name, REGSAM view = KEY_WOW64_64KEY)
{
    RawValue value;
    HKEY key = nullptr;
    value.status = RegOpenKeyExW(HKEY_LOCAL_MACHINE, Widen(subkey).c_str(), 0, KEY_QUERY_VALUE | view, &key);
    if (value.status != ERROR_SUCCESS) {
        return value;
    }
    DWORD size = 0;
    value.status = RegQueryValueExW(key, name.c_str(), nullptr, &value.type, nullptr, &size);
    value.bytes.resize(size);
    if (value.status == ERROR_SUCCESS) {
        value.status = RegQueryValueExW(key, name.c_str(), nullptr, &value.type,
                                        reinterpret_cast<BYTE*>(value.bytes.data()), &size);
    }
    RegCloseKey(key);
    return value;
}

bool rawWrite(const std::string& subkey, const std::wstring& name, DWORD type, const std::string& bytes)
{
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, Widen(subkey).c_str(), 0, nullptr, 0, KEY_SET_VALUE | KEY_WOW64_64KEY,
                        nullptr, &key, nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const bool ok = RegSetValueExW(key, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                                   static_cast<DWORD>(bytes.size())) == ERROR_SUCCESS;
    RegCloseKey(key);
    return ok;
}

bool keyExists(const std::string& subkey, REGSAM view = KEY_WOW64_64KEY)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, Widen(subkey).c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

std::string utf16Bytes(const std::wstring& text)
{
    return std::string(reinterpret_cast<const char*>(text.c_str()), (text.size() + 1) * sizeof(wchar_t));
}

// A key of the test's own, removed with everything under it at the end.
class WinRegistry : public testing::Test
{
protected:
    WinRegistry()
        : parent("SOFTWARE\\Sentrybell tests " + std::to_string(GetCurrentProcessId()) + "-" +
                 std::to_string(GetTickCount64())),
          key(parent + "\\監視 Winlogon")
    {
    }
    ~WinRegistry() override { RegDeleteTreeW(HKEY_LOCAL_MACHINE, Widen(parent).c_str()); }

    const std::string parent;
    const std::string key;
    WinRegistryStore store;
};

TEST_F(WinRegistry, ValuesAreWrittenAsStringsAndReadBackExactly)
{
    const std::vector<std::pair<std::string, std::string>> values{
        {"AutoAdminLogon", "1"},
        {"DefaultUserName", " 管理者 \"quoted\" "},
        {"DefaultPassword", "p=ss;word#caf\xC3\xA9\xF0\x9F\x98\x80"}, // é and U+1F600 have no ANSI form
        {"DefaultDomainName", ""},
        {"値 名", "日本語の名前"},
    };
    for (const auto& [name, value] : values) {
        ASSERT_TRUE(store.write(RegistryHive::LocalMachine, key, name, value)) << name;
    }
    for (const auto& [name, value] : values) {
        EXPECT_EQ(store.read(RegistryHive::LocalMachine, key, name), value) << name;
        const RawValue raw = rawRead(key, Widen(name));
        EXPECT_EQ(raw.type, static_cast<DWORD>(REG_SZ)) << name;
        EXPECT_EQ(raw.bytes, utf16Bytes(Widen(value))) << name << ": UTF-16 with its terminating NUL";
    }
    ASSERT_TRUE(store.write(RegistryHive::LocalMachine, key, "AutoAdminLogon", "0"));
    EXPECT_EQ(store.read(RegistryHive::LocalMachine, key, "AutoAdminLogon"), "0");
}

TEST_F(WinRegistry, AMissingKeyOrValueReadsAsEmpty)
{
    EXPECT_EQ(store.read(RegistryHive::LocalMachine, key, "AutoAdminLogon"), "");
    EXPECT_FALSE(keyExists(key)) << "reading creates nothing";
    ASSERT_TRUE(store.write(RegistryHive::LocalMachine, key, "AutoAdminLogon", "1"));
    EXPECT_EQ(store.read(RegistryHive::LocalMachine, key, "DefaultUserName"), "");
    EXPECT_EQ(store.read(RegistryHive::LocalMachine, key, std::string("Auto\0AdminLogon", 15)), "");
    EXPECT_FALSE(store.write(RegistryHive::LocalMachine, key, std::string("a\0b", 3), "x"));
}

TEST_F(WinRegistry, ValuesOfOtherTypesReadAsTheirBytesUpToTheFirstZero)
{
    ASSERT_TRUE(rawWrite(key, L"Dword", REG_DWORD, std::string("\x01\x00\x00\x00", 4)));
    ASSERT_TRUE(rawWrite(key, L"Binary", REG_BINARY, std::string("ab\0cd", 5)));
    ASSERT_TRUE(rawWrite(key, L"ShiftJis", REG_BINARY, "\x8a\xc4\x8e\x8b")); // 監視 in code page 932
    ASSERT_TRUE(rawWrite(key, L"Expand", REG_EXPAND_SZ, utf16Bytes(L"%SystemRoot%\\監視")));
    ASSERT_TRUE(rawWrite(key, L"Multi", REG_MULTI_SZ, utf16Bytes(std::wstring(L"first\0second\0", 13))));
    ASSERT_TRUE(rawWrite(key, L"Unterminated", REG_SZ, std::string("o\0k\0", 4)));
    EXPECT_EQ(store.read(RegistryHive::LocalMachine, key, "Dword"), "\x01");
    EXPECT_EQ(store.read(RegistryHive::LocalMachine, key, "Binary"), "ab");
    EXPECT_EQ(store.read(RegistryHive::LocalMachine, key, "ShiftJis"), "監視");
    EXPECT_EQ(store.read(RegistryHive::LocalMachine, key, "Expand"), "%SystemRoot%\\監視") << "not expanded";
    EXPECT_EQ(store.read(RegistryHive::LocalMachine, key, "Multi"), "first");
    EXPECT_EQ(store.read(RegistryHive::LocalMachine, key, "Unterminated"), "ok");
}

TEST_F(WinRegistry, WritesGoToThe64BitView)
{
    ASSERT_TRUE(store.write(RegistryHive::LocalMachine, key, "AutoAdminLogon", "1"));
    EXPECT_EQ(rawRead(key, L"AutoAdminLogon", KEY_WOW64_64KEY).status, ERROR_SUCCESS);
    EXPECT_NE(rawRead(key, L"AutoAdminLogon", KEY_WOW64_32KEY).status, ERROR_SUCCESS)
        << "the 32-bit view (SOFTWARE\\WOW6432Node) must not hold it";
    EXPECT_FALSE(keyExists(key, KEY_WOW64_32KEY));
}

TEST_F(WinRegistry, TheWinlogonKeyItself)
{
    const std::string name = "Sentrybell test " + std::to_string(GetCurrentProcessId());
    EXPECT_EQ(store.read(RegistryHive::LocalMachine, Winlogon, name), "");
    ASSERT_TRUE(store.write(RegistryHive::LocalMachine, Winlogon, name, "監視"));
    EXPECT_EQ(store.read(RegistryHive::LocalMachine, Winlogon, name), "監視");
    EXPECT_EQ(rawRead(Winlogon, Widen(name)).bytes, utf16Bytes(L"監視"));
    HKEY winlogon = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, Widen(Winlogon).c_str(), 0, KEY_SET_VALUE | KEY_WOW64_64KEY, &winlogon),
              ERROR_SUCCESS);
    RegDeleteValueW(winlogon, Widen(name).c_str());
    RegCloseKey(winlogon);
}

// The system's calls, with one of them refused as for a user without administrator rights, and every
// key handle counted.
class RefusingCalls : public WinRegistryCalls
{
public:
    enum class Refuse
    {
        Nothing,
        Create,
        Set,
        Open,
    };
    Refuse refuse = Refuse::Nothing;
    int opened = 0;
    int closed = 0;

    LSTATUS openKey(HKEY root, const wchar_t* subkey, REGSAM access, HKEY* key) override
    {
        return counted(refuse == Refuse::Open ? ERROR_ACCESS_DENIED
                                              : WinRegistryCalls::openKey(root, subkey, access, key));
    }
    LSTATUS createKey(HKEY root, const wchar_t* subkey, REGSAM access, HKEY* key, DWORD* disposition) override
    {
        return counted(refuse == Refuse::Create ? ERROR_ACCESS_DENIED
                                                : WinRegistryCalls::createKey(root, subkey, access, key, disposition));
    }
    LSTATUS setValue(HKEY key, const wchar_t* name, DWORD type, const BYTE* data, DWORD size) override
    {
        return refuse == Refuse::Set ? ERROR_ACCESS_DENIED : WinRegistryCalls::setValue(key, name, type, data, size);
    }
    LSTATUS closeKey(HKEY key) override
    {
        ++closed;
        return WinRegistryCalls::closeKey(key);
    }

private:
    LSTATUS counted(LSTATUS status)
    {
        opened += status == ERROR_SUCCESS ? 1 : 0;
        return status;
    }
};

TEST_F(WinRegistry, ARefusedWriteReturnsFalseAndLeavesTheRegistryAsItWas)
{
    RefusingCalls calls;
    WinRegistryStore refused(calls);

    calls.refuse = RefusingCalls::Refuse::Create;
    EXPECT_FALSE(refused.write(RegistryHive::LocalMachine, key, "AutoAdminLogon", "1"));
    EXPECT_FALSE(keyExists(key));

    // Refused once the key is made: the key the write created goes again.
    calls.refuse = RefusingCalls::Refuse::Set;
    EXPECT_FALSE(refused.write(RegistryHive::LocalMachine, key, "AutoAdminLogon", "1"));
    EXPECT_FALSE(keyExists(key));

    // An existing key keeps its values.
    ASSERT_TRUE(store.write(RegistryHive::LocalMachine, key, "AutoAdminLogon", "0"));
    EXPECT_FALSE(refused.write(RegistryHive::LocalMachine, key, "AutoAdminLogon", "1"));
    EXPECT_EQ(store.read(RegistryHive::LocalMachine, key, "AutoAdminLogon"), "0");

    // A read without access reads as empty.
    calls.refuse = RefusingCalls::Refuse::Open;
    EXPECT_EQ(refused.read(RegistryHive::LocalMachine, key, "AutoAdminLogon"), "");

    calls.refuse = RefusingCalls::Refuse::Nothing;
    EXPECT_TRUE(refused.write(RegistryHive::LocalMachine, key, "AutoAdminLogon", "1"));
    EXPECT_EQ(refused.read(RegistryHive::LocalMachine, key, "AutoAdminLogon"), "1");
    EXPECT_EQ(calls.closed, calls.opened) << "every key that was opened is closed";
    EXPECT_GT(calls.opened, 0);
}

} // namespace
