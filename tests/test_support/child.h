// SPDX-License-Identifier: MIT
#pragma once
#include <functional>
#include <string>

namespace doze::test {

// The result a child gives for a test that cannot run here.
inline constexpr int kSkipped = 77;

// Runs `body` in a forked child and returns what it returned; an exception
// gives 3, a signal 100 + its number.
int InChild(const std::function<int()>& body);

// Runs `body` in a forked child and returns what it said: "" when all went
// well, else what went wrong, what it threw, or how it ended (as InChild). A
// child that cannot do its test here says why, after kCannot.
std::string ChildSays(const std::function<std::string()>& body);
inline constexpr const char* kCannot = "cannot run here: ";

// In a GoogleTest test: passes when a child running the body given says nothing,
// skips when it cannot run here, and fails with what it said otherwise.
#define EXPECT_CHILD_SAYS_NOTHING(...)                                       \
    do {                                                                     \
        const std::string said_ = ::doze::test::ChildSays(__VA_ARGS__);      \
        if (said_.starts_with(::doze::test::kCannot)) GTEST_SKIP() << said_; \
        EXPECT_EQ(said_, "");                                                \
    } while (false)

// Gives up root's rights for those of an ordinary user (nobody).
bool DropToOrdinaryUser();

// A mount namespace of this process's own: directly as root, otherwise in a
// user namespace that maps the user to root. Mounts made then stay private.
bool EnterOwnMountNamespace();

}  // namespace doze::test
