#pragma once
// A RecordIo that counts every call that changes the disk (a file created, a write, a flush,
// a cut, a removal) as one step of a change, and at step `at` kills the process, fails that
// call once, or fails it and every later one (a disk that stays full). Counting alone tells
// how many steps a change has.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <functional>
#include <string>

#include "support/faulty_record_io.h"
#include "support/pass_through_record_io.h"

namespace corvane::test_support {

class StepRecordIo final : public PassThroughRecordIo {
public:
    enum class Mode { Count, Kill, FailOnce, FailFromHere };
    StepRecordIo(Mode mode = Mode::Count, int at = 0, int error = EIO) : mode_(mode), at_(at), error_(error) {}

    int Open(const char* path, int flags, mode_t mode) override {
        if ((flags & O_CREAT) && Step()) return Refuse();
        return Real().Open(path, flags, mode);
    }
    ssize_t Pwrite(int fd, const void* buffer, size_t count, off_t offset) override {
        if (Step()) return Refuse();
        return Real().Pwrite(fd, buffer, count, offset);
    }
    int Sync(int fd) override { return Step() ? Refuse() : Real().Sync(fd); }
    int Ftruncate(int fd, off_t length) override { return Step() ? Refuse() : Real().Ftruncate(fd, length); }
    int Unlink(const char* path) override { return Step() ? Refuse() : Real().Unlink(path); }
    void Report(const std::string&) override {}

    int steps = 0;

private:
    bool Step() {
        ++steps;
        if (mode_ == Mode::Kill && steps == at_) ::_exit(0);
        if (mode_ == Mode::FailOnce) return steps == at_;
        return mode_ == Mode::FailFromHere && steps >= at_;
    }
    int Refuse() {
        errno = error_;
        return -1;
    }
    Mode mode_;
    int at_;
    int error_;
};

// The ways a step is cut, as the tables of steps run them.
struct StepCut {
    const char* what;
    StepRecordIo::Mode mode;
    int error;
};
inline constexpr StepCut kStepCuts[] = {
    {"kill", StepRecordIo::Mode::Kill, 0},
    {"ENOSPC once", StepRecordIo::Mode::FailOnce, ENOSPC},
    {"EIO once", StepRecordIo::Mode::FailOnce, EIO},
    {"a disk that stays full", StepRecordIo::Mode::FailFromHere, ENOSPC},
};

// Runs change cut at step `at`: a kill in a child process the cut ends (the change runs up to
// there and no further), the others here under the failing disk. change answers whether a
// failure was reported; a kill reports none.
inline bool RunCut(const StepCut& cut, int at, const std::function<bool()>& change) {
    StepRecordIo io(cut.mode, at, cut.error);
    if (cut.mode != StepRecordIo::Mode::Kill) {
        RecordIoScope scope(io);
        return change();
    }
    const pid_t child = ::fork();
    EXPECT_GE(child, 0);
    if (child == 0) {
        RecordIoScope scope(io);
        try {
            change();
        } catch (...) {
            ::_exit(3);
        }
        ::_exit(2);  // the change has fewer steps than that
    }
    int status = 0;
    EXPECT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "not cut at step " << at << ": " << status;
    return false;
}

// Runs change(0), change(1), ... for ever in a child process and kills it after a random
// wait of up to maxMicros microseconds past the end of change(0); returns once it is gone.
// A change that fails ends the child early, which the caller hears as a failure.
template <typename Random>
void KillAtRandom(Random& random, int maxMicros, const std::function<void(int)>& change) {
    int started[2];
    ASSERT_EQ(::pipe(started), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(started[0]);
        try {
            for (int i = 0;; ++i) {
                change(i);
                if (i == 0 && ::write(started[1], "s", 1) != 1) ::_exit(3);
            }
        } catch (...) {
            ::_exit(4);
        }
    }
    ::close(started[1]);
    char s = 0;
    ASSERT_EQ(::read(started[0], &s, 1), 1);
    ::close(started[0]);
    ::usleep(static_cast<useconds_t>(random() % static_cast<unsigned>(maxMicros)));
    ::kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the child ended by itself: " << status;
}

}  // namespace corvane::test_support
