// SPDX-License-Identifier: MIT
#include "win/FileSecurity.h"

#include "win/UniqueHandle.h"

#include <cstring>
#include <sddl.h>
#include <vector>

namespace {

// The SID of the account the program runs as, in its text form ("S-1-5-21-..."), or empty.
std::wstring currentUserSid()
{
    HANDLE rawToken = nullptr;
    if (OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &rawToken) == FALSE) {
        return {};
    }
    const UniqueHandle token(rawToken);
    DWORD size = 0;
    GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
    if (size == 0) {
        return {};
    }
    std::vector<unsigned char> buffer(size);
    if (GetTokenInformation(token.get(), TokenUser, buffer.data(), size, &size) == FALSE) {
        return {};
    }
    TOKEN_USER user{};
    std::memcpy(&user, buffer.data(), sizeof user); // its SID still points into buffer
    wchar_t* text = nullptr;
    if (ConvertSidToStringSidW(user.User.Sid, &text) == FALSE) {
        return {};
    }
    std::wstring sid(text);
    LocalFree(text);
    return sid;
}

} // namespace

void FileSecurity::adopt(PSECURITY_DESCRIPTOR descriptor)
{
    m_descriptor.reset(descriptor);
    m_attributes.nLength = sizeof m_attributes;
    m_attributes.lpSecurityDescriptor = descriptor;
    m_attributes.bInheritHandle = FALSE;
}

FileSecurity FileSecurity::ownerOnly()
{
    FileSecurity security;
    const std::wstring user = currentUserSid();
    if (user.empty()) {
        return security;
    }
    // Protected (P): nothing inherited from the folder. Full access (FA) for the three alone.
    const std::wstring sddl = L"D:P(A;;FA;;;" + user + L")(A;;FA;;;SY)(A;;FA;;;BA)";
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &descriptor, nullptr) !=
        FALSE) {
        security.adopt(descriptor);
    }
    return security;
}

FileSecurity FileSecurity::copiedFrom(const std::wstring& path)
{
    FileSecurity security;
    DWORD size = 0;
    GetFileSecurityW(path.c_str(), DACL_SECURITY_INFORMATION, nullptr, 0, &size);
    if (size == 0) {
        return security;
    }
    // LocalAlloc, so that both kinds of descriptor are released alike.
    void* descriptor = LocalAlloc(LMEM_FIXED, size);
    if (descriptor == nullptr) {
        return security;
    }
    if (GetFileSecurityW(path.c_str(), DACL_SECURITY_INFORMATION, descriptor, size, &size) == FALSE) {
        LocalFree(descriptor);
        return security;
    }
    security.adopt(descriptor);
    return security;
}
