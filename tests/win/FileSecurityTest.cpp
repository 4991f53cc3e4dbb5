// SPDX-License-Identifier: MIT
#include "win/FileSecurity.h"

#include "win/UniqueHandle.h"

#include <cstddef>
#include <cstring>
#include <gtest/gtest.h>
#include <vector>

namespace {

// Wine keeps no access rules of its own on files, so what a private file is created with is checked
// on the descriptor handed to CreateFileW; Windows itself enforces it.
std::vector<unsigned char> currentUser()
{
    HANDLE rawToken = nullptr;
    EXPECT_NE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &rawToken), FALSE);
    const UniqueHandle token(rawToken);
    DWORD size = 0;
    GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
    std::vector<unsigned char> buffer(size);
    EXPECT_NE(GetTokenInformation(token.get(), TokenUser, buffer.data(), size, &size), FALSE);
    return buffer;
}

std::vector<unsigned char> wellKnown(WELL_KNOWN_SID_TYPE type)
{
    std::vector<unsigned char> sid(SECURITY_MAX_SID_SIZE);
    DWORD size = SECURITY_MAX_SID_SIZE;
    EXPECT_NE(CreateWellKnownSid(type, nullptr, sid.data(), &size), FALSE);
    return sid;
}

TEST(FileSecurity, OwnerOnlyGrantsTheOwnerSystemAndAdministratorsAndInheritsNothing)
{
    FileSecurity security = FileSecurity::ownerOnly();
    ASSERT_NE(security.attributes(), nullptr);
    EXPECT_EQ(security.attributes()->lpSecurityDescriptor, security.descriptor());

    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    ASSERT_NE(GetSecurityDescriptorControl(security.descriptor(), &control, &revision), FALSE);
    EXPECT_NE(control & SE_DACL_PROTECTED, 0) << "the folder's entries (Users: read) must not reach the file";

    BOOL present = FALSE;
    BOOL defaulted = FALSE;
    PACL dacl = nullptr;
    ASSERT_NE(GetSecurityDescriptorDacl(security.descriptor(), &present, &dacl, &defaulted), FALSE);
    ASSERT_TRUE(present);
    ASSERT_NE(dacl, nullptr) << "a null DACL would let everyone in";
    ASSERT_EQ(dacl->AceCount, 3U);

    const auto user = currentUser();
    TOKEN_USER tokenUser{};
    std::memcpy(&tokenUser, user.data(), sizeof tokenUser);
    auto system = wellKnown(WinLocalSystemSid);
    auto administrators = wellKnown(WinBuiltinAdministratorsSid);
    PSID expected[] = {tokenUser.User.Sid, system.data(), administrators.data()};
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
        void* entry = nullptr;
        ASSERT_NE(GetAce(dacl, i, &entry), FALSE);
        ACCESS_ALLOWED_ACE ace{};
        std::memcpy(&ace, entry, sizeof ace);
        EXPECT_EQ(ace.Header.AceType, ACCESS_ALLOWED_ACE_TYPE);
        EXPECT_EQ(ace.Mask, static_cast<DWORD>(FILE_ALL_ACCESS));
        auto* sid = static_cast<unsigned char*>(entry) + offsetof(ACCESS_ALLOWED_ACE, SidStart);
        EXPECT_NE(EqualSid(sid, expected[i]), FALSE) << "entry " << i;
    }
}

TEST(FileSecurity, NothingToCopyFromAMissingFile)
{
    FileSecurity security = FileSecurity::copiedFrom(L"C:\\no such folder\\no such file");
    EXPECT_EQ(security.attributes(), nullptr);
}

} // namespace
