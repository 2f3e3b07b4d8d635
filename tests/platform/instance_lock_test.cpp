#include "platform/instance_lock.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(InstanceLock, SecondHolderIsRefusedUntilTheFirstLetsGo) {
    const std::string name = "lock-test-" + std::to_string(::getpid());
    platform::InstanceLock* first = platform::AcquireInstanceLock(name.c_str());
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(platform::AcquireInstanceLock(name.c_str()), nullptr);
    platform::InstanceLock* other = platform::AcquireInstanceLock((name + "-other").c_str());
    EXPECT_NE(other, nullptr);  // another name is another game
    platform::ReleaseInstanceLock(first);
    platform::InstanceLock* again = platform::AcquireInstanceLock(name.c_str());
    EXPECT_NE(again, nullptr);
    platform::ReleaseInstanceLock(again);
    platform::ReleaseInstanceLock(other);
}

TEST(InstanceLock, NamesCannotLeaveTheLockFolder) {
    const std::string path = platform::InstanceLockPath("../x/y z");
    EXPECT_EQ(path.find("../"), std::string::npos);
    EXPECT_NE(path.find("-.._x_y_z.lock"), std::string::npos);
    EXPECT_NE(platform::InstanceLockPath("").find("Brightlea"), std::string::npos);
}

}  // namespace
