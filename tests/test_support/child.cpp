// SPDX-License-Identifier: MIT
#include "test_support/child.h"

#include <fcntl.h>
#include <grp.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <exception>
#include <fstream>

namespace doze::test {

int InChild(const std::function<int()>& body) {
    const pid_t child = ::fork();
    if (child == 0) {
        int code = 3;
        try {
            code = body();
        } catch (...) {
        }
        ::_exit(code);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 100 + WTERMSIG(status);
}

std::string ChildSays(const std::function<std::string()>& body) {
    int pipe[2];
    if (::pipe2(pipe, O_CLOEXEC) != 0) return "no pipe to hear the child";
    const int status = InChild([&] {
        std::string said;
        try {
            said = body();
        } catch (const std::exception& thrown) {
            said = std::string("it threw: ") + thrown.what();
        }
        said.resize(std::min<std::size_t>(said.size(), 60000));  // what the pipe holds
        return ::write(pipe[1], said.data(), said.size()) == std::ssize(said) ? 0 : 1;
    });
    ::close(pipe[1]);
    std::string said;
    char buffer[4096];
    for (ssize_t got = 0; (got = ::read(pipe[0], buffer, sizeof buffer)) > 0;) {
        said.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(pipe[0]);
    return status == 0 ? said : said + " (the child ended with " + std::to_string(status) + ")";
}

bool DropToOrdinaryUser() {
    if (::getuid() != 0) return true;
    return ::setgroups(0, nullptr) == 0 && ::setgid(65534) == 0 && ::setuid(65534) == 0;
}

bool EnterOwnMountNamespace() {
    const uid_t uid = ::geteuid();
    const gid_t gid = ::getegid();
    if (uid == 0) {
        if (::unshare(CLONE_NEWNS) != 0) return false;
    } else {
        if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) return false;
        std::ofstream("/proc/self/setgroups") << "deny";
        std::ofstream("/proc/self/uid_map") << "0 " << uid << " 1";
        std::ofstream("/proc/self/gid_map") << "0 " << gid << " 1";
    }
    return ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
}

}  // namespace doze::test
