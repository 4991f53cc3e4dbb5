// SPDX-License-Identifier: MIT
#pragma once

#include "config/RegistryStore.h"

#include <string>
#include <windows.h>

// The registry calls the store makes, one virtual function each, so that a test can make one of them
// fail as it fails for want of rights: Wine lets anyone write HKEY_LOCAL_MACHINE.
class WinRegistryCalls
{
public:
    virtual ~WinRegistryCalls() = default;
    virtual LSTATUS openKey(HKEY root, const wchar_t* subkey, REGSAM access, HKEY* key);
    virtual LSTATUS createKey(HKEY root, const wchar_t* subkey, REGSAM access, HKEY* key, DWORD* disposition);
    virtual LSTATUS queryValue(HKEY key, const wchar_t* name, DWORD* type, BYTE* data, DWORD* size);
    virtual LSTATUS setValue(HKEY key, const wchar_t* name, DWORD type, const BYTE* data, DWORD size);
    virtual LSTATUS deleteKey(HKEY root, const wchar_t* subkey, REGSAM view);
    virtual LSTATUS closeKey(HKEY key);

    // The system's own calls.
    static WinRegistryCalls& system();
};

// The registry through its W calls, always in its 64-bit view (KEY_WOW64_64KEY), where the system's
// logon reads the Winlogon values whatever the program's own bitness. Names and values are UTF-16 on
// their way to the registry, so no character is lost to the ANSI code page. Each call opens and
// closes its key.
//
// A read gives a string value (REG_SZ, REG_EXPAND_SZ unexpanded, REG_MULTI_SZ's first string) up to its
// first NUL; a value of any other type gives its raw bytes up to the first zero byte, read in the ANSI
// code page, as the A call would have returned them. A missing key or value, or one that cannot be
// read, gives the empty text. A write creates the key when needed and sets a REG_SZ value; it returns
// false when any call is refused (no rights to write HKEY_LOCAL_MACHINE), and a key that the write
// created is then removed again.
class WinRegistryStore : public RegistryStore
{
public:
    explicit WinRegistryStore(WinRegistryCalls& calls = WinRegistryCalls::system());

    std::string read(RegistryHive hive, const std::string& subkey, const std::string& valueName) const override;
    bool write(RegistryHive hive, const std::string& subkey, const std::string& valueName,
               const std::string& value) override;

private:
    WinRegistryCalls& m_calls;
};
