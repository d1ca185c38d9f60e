// Runs part of a test with the permissions of an ordinary user, so that read-only files and folders bind it
// even when the suite runs as root (as CI does): there the part runs in a forked child that has become the
// unprivileged user nobody (65534), and the child's failures fail the test. Everything the child is to reach
// must be open to that user, such as a folder under /tmp made 0777.
#pragma once

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>

inline constexpr uid_t kNobody = 65534;

inline void AsOrdinaryUser(const std::function<void()>& body) {
    if (::geteuid() != 0) {
        body();
        return;
    }
    // Output still buffered would be written twice, once by each process.
    std::fflush(nullptr);
    constexpr int kCannotDrop = 77;
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setresgid(kNobody, kNobody, kNobody) != 0 ||
            ::setresuid(kNobody, kNobody, kNobody) != 0 || ::geteuid() != kNobody) {
            ::_exit(kCannotDrop);
        }
        body();
        std::fflush(nullptr);
        // _exit: the parent's objects (its temporary folders) are the parent's to clean up.
        ::_exit(::testing::Test::HasFailure() ? 1 : 0);
    }
    int raw = 0;
    ASSERT_EQ(::waitpid(pid, &raw, 0), pid);
    ASSERT_TRUE(WIFEXITED(raw)) << "the part run as user " << kNobody << " died";
    if (WEXITSTATUS(raw) == kCannotDrop) {
        GTEST_SKIP() << "root could not become user " << kNobody << " here";
    }
    EXPECT_EQ(WEXITSTATUS(raw), 0) << "the part run as user " << kNobody << " failed (see above)";
}
