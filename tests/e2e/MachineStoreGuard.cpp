// SPDX-License-Identifier: MIT
// The program keeps the auto-logon values in the machine's own store, /etc/sentrybell/registry.ini,
// a path it does not let anyone change. The scenarios never save the monitoring settings (the one
// thing that writes the store) and keep LOGIN in SETTING.ini (so start-up does not even read it);
// this guard fails any test after which the machine's store is not as it was before.
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

constexpr const char* MachineStore = "/etc/sentrybell/registry.ini";
constexpr const char* MachineStoreFolder = "/etc/sentrybell";

struct Snapshot
{
    bool folderExists = false;
    bool storeExists = false;
    struct stat store
    {
    };

    static Snapshot take()
    {
        Snapshot snapshot;
        snapshot.folderExists = std::filesystem::exists(MachineStoreFolder);
        snapshot.storeExists = ::stat(MachineStore, &snapshot.store) == 0;
        return snapshot;
    }

    bool operator==(const Snapshot& other) const
    {
        if (folderExists != other.folderExists || storeExists != other.storeExists) {
            return false;
        }
        return !storeExists || (store.st_ino == other.store.st_ino && store.st_size == other.store.st_size &&
                                store.st_mtim.tv_sec == other.store.st_mtim.tv_sec &&
                                store.st_mtim.tv_nsec == other.store.st_mtim.tv_nsec);
    }
};

class MachineStoreGuard : public ::testing::Environment
{
public:
    void SetUp() override { m_before = Snapshot::take(); }
    void TearDown() override
    {
        EXPECT_TRUE(Snapshot::take() == m_before) << MachineStore << " was changed by the test run";
    }

private:
    Snapshot m_before;
};

[[maybe_unused]] const auto* const guard = ::testing::AddGlobalTestEnvironment(new MachineStoreGuard);

} // namespace
