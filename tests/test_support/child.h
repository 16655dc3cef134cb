#pragma once
#include <functional>

namespace doze::test {

// The result a child gives for a test that cannot run here.
inline constexpr int kSkipped = 77;

// Runs `body` in a forked child and returns what it returned; an exception
// gives 3, a signal 100 + its number.
int InChild(const std::function<int()>& body);

// Gives up root's rights for those of an ordinary user (nobody).
bool DropToOrdinaryUser();

// A mount namespace of this process's own: directly as root, otherwise in a
// user namespace that maps the user to root. Mounts made then stay private.
bool EnterOwnMountNamespace();

}  // namespace doze::test
