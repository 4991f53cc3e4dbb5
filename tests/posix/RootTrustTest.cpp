// SPDX-License-Identifier: MIT
// A root run takes its settings only from where root alone can change them.
#include "posix/RootTrust.h"

#include "support/Files.h"
#include "support/TemporaryFolder.h"

#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr uid_t Member = 65534;

TEST(RootTrust, SettingsThatOthersCanChangeAreRefusedToRoot)
{
    if (::geteuid() != 0) {
        GTEST_SKIP() << "the rule holds for root only";
    }
    // Each row: an install folder of root's, 0755, in a folder of root's, 0755, with a SETTING.ini of
    // root's, 0644; then one change, and what the refusal must say (empty: no refusal).
    struct Paths
    {
        std::string above, install, settings;
    };
    const struct
    {
        const char* what;
        std::function<void(const Paths&)> change;
        std::string refusal;
    } rows[] = {
        {"all root's", [](const Paths&) {}, ""},
        {"no settings yet", [](const Paths& p) { ::unlink(p.settings.c_str()); }, ""},
        {"a sticky folder above", [](const Paths& p) { ::chmod(p.above.c_str(), 01777); }, ""},
        {"the install folder group-writable", [](const Paths& p) { ::chmod(p.install.c_str(), 0775); },
         "install may be written by the members of its group"},
        {"the install folder sticky and writable by all", [](const Paths& p) { ::chmod(p.install.c_str(), 01777); },
         "install may be written by everyone"},
        {"a folder above writable by all", [](const Paths& p) { ::chmod(p.above.c_str(), 0777); },
         "above may be written by everyone"},
        {"a folder above of a member's", [](const Paths& p) { ::chown(p.above.c_str(), Member, Member); },
         "above belongs to"},
        {"settings group-writable", [](const Paths& p) { ::chmod(p.settings.c_str(), 0664); },
         "SETTING.ini may be written by the members of its group"},
        {"settings of a member's", [](const Paths& p) { ::chown(p.settings.c_str(), Member, Member); },
         "SETTING.ini belongs to"},
        {"settings a link to root's file",
         [](const Paths& p) {
             WriteFile(p.above + "/root-only", "");
             ::unlink(p.settings.c_str());
             ::symlink((p.above + "/root-only").c_str(), p.settings.c_str());
         },
         "SETTING.ini is a symbolic link"},
        {"the install folder a link to root's folder",
         [](const Paths& p) {
             ::rename(p.install.c_str(), (p.above + "/real").c_str());
             ::symlink((p.above + "/real").c_str(), p.install.c_str());
         },
         "install is a symbolic link or not a folder"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        TemporaryFolder folder;
        const Paths paths{folder / "above", folder / "above/install", folder / "above/install/SETTING.ini"};
        ASSERT_EQ(::chmod(folder.path().c_str(), 0755), 0);
        ASSERT_EQ(::mkdir(paths.above.c_str(), 0755), 0);
        ASSERT_EQ(::mkdir(paths.install.c_str(), 0755), 0);
        WriteFile(paths.settings, "[SETTING]\n");
        ASSERT_EQ(::chmod(paths.settings.c_str(), 0644), 0);
        row.change(paths);

        const auto refusal = RootRefusal(paths.settings);
        if (row.refusal.empty()) {
            EXPECT_FALSE(refusal) << *refusal;
            continue;
        }
        ASSERT_TRUE(refusal);
        EXPECT_NE(refusal->find(paths.settings), std::string::npos) << *refusal;
        EXPECT_NE(refusal->find(row.refusal), std::string::npos) << *refusal;
        EXPECT_NE(refusal->find("chmod go-w"), std::string::npos) << "the fix: " << *refusal;
    }
}

} // namespace
