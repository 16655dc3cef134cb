#include <gtest/gtest.h>

#include "search/mount_table.h"

namespace {

TEST(ParsePseudoMounts, PicksThePseudoFileSystemsOnly) {
    const char* table =
        "22 1 0:21 / /proc rw,nosuid shared:5 - proc proc rw\n"
        "23 1 0:22 / /sys rw,nosuid shared:6 - sysfs sysfs rw\n"
        "24 23 0:23 / /sys/fs/cgroup rw - cgroup2 cgroup2 rw\n"
        "25 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw\n"
        "26 1 0:24 / /dev/pts rw - devpts devpts rw\n"
        "27 25 8:2 / /home/my\\040music rw - ext4 /dev/sda2 rw\n"
        "28 25 0:25 / /odd\\040name rw master:1 - debugfs none rw\n"
        "29 25 0:26 / /run rw - tmpfs tmpfs rw\n"
        "garbage line\n";
    const doze::MountSet mounts = doze::ParsePseudoMounts(table);
    EXPECT_EQ(mounts, (doze::MountSet{"/proc", "/sys", "/sys/fs/cgroup", "/dev/pts", "/odd name"}));
}

}  // namespace
