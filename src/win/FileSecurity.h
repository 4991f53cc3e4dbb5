// SPDX-License-Identifier: MIT
#pragma once

#include <memory>
#include <string>
#include <windows.h>

// The security a new file is created with. Without a descriptor (attributes() null) the file takes
// its folder's inherited defaults, as any other new file does.
class FileSecurity
{
public:
    // Open to nobody but its owner, SYSTEM and the Administrators, whatever the folder grants (such
    // as "Users: read"): the settings file holds passwords. No descriptor when it cannot be built.
    static FileSecurity ownerOnly();
    // The access rules of an existing file, for the file that is about to replace it, so that a
    // locked-down file stays locked down. No descriptor when they cannot be read.
    static FileSecurity copiedFrom(const std::wstring& path);

    SECURITY_ATTRIBUTES* attributes() { return m_descriptor ? &m_attributes : nullptr; }
    PSECURITY_DESCRIPTOR descriptor() const { return m_descriptor.get(); }

private:
    struct Release
    {
        void operator()(void* memory) const { LocalFree(memory); }
    };
    void adopt(PSECURITY_DESCRIPTOR descriptor);

    std::unique_ptr<void, Release> m_descriptor;
    SECURITY_ATTRIBUTES m_attributes{};
};
