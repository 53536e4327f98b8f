// The store shared by several processes.
#include <gtest/gtest.h>

#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <iostream>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "FieldScrambler.h"
#include "LineCodec.h"
#include "ScratchDirectory.h"
#include "ZurerEzuz.h"

namespace {

using Collection = ZurerEzuz::Collection;
using namespace std::chrono_literals;

const std::string kServerListHeader =
    "Serverlijst#5\r\nId#-1\r\nServernaam#0\r\nIP#0\r\nPort#0\r\nPassword#2\r\n";

// Runs body in a child process, which ends with status 0 when body returns true and 1 otherwise. The
// child is killed when the test process dies, so none outlives a crashed test.
pid_t StartChild(const std::function<bool()>& body) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        bool succeeded = false;
        try {
            succeeded = body();
        } catch (...) {
        }
        ::_exit(succeeded ? 0 : 1);
    }
    return pid;
}

// The child's exit status; -1 when it was killed or had to be killed for outliving the limit.
int WaitForChild(pid_t pid, std::chrono::seconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    int status = 0;
    while (::waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() >= deadline) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            return -1;
        }
        std::this_thread::sleep_for(5ms);
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(ZurerEzuzProcesses, TwoProgramsAddingAtTheSameTimeLoseNothing) {
    const ScratchDirectory directory;
    const std::string path = directory.File("servers.sdb");
    WriteBytes(path, kServerListHeader);
    constexpr int kPerWriter = 200;

    int gate[2];
    ASSERT_EQ(::pipe(gate), 0);
    std::vector<pid_t> writers;
    for (const std::string writer : {"A", "B"}) {
        writers.push_back(StartChild([&] {
            ::close(gate[1]);
            char ignored;
            (void)::read(gate[0], &ignored, 1);  // returns when the test closes the gate
            ZurerEzuz store;
            if (!store.OpenDatabase(path, false)) {
                return false;
            }
            store.setAutoSave(true);
            for (int i = 0; i < kPerWriter; ++i) {
                Collection data{"0", writer + std::to_string(i), "h", "1", "pw"};
                if (!store.SetRecord(data)) {
                    return false;
                }
            }
            return true;
        }));
    }
    ::close(gate[0]);
    ::close(gate[1]);  // both writers start now
    for (const pid_t writer : writers) {
        EXPECT_EQ(WaitForChild(writer, 60s), 0) << "a writer failed or was refused a change";
    }

    ZurerEzuz result;
    ASSERT_TRUE(result.OpenDatabase(path, false));
    ASSERT_EQ(result.RecordCount(), 2 * kPerWriter);
    std::set<std::string> ids;
    std::set<std::string> names;
    for (int32_t nr = 1; nr <= result.RecordCount(); ++nr) {
        const Collection record = result.Record(nr).value();
        ids.insert(record[0]);
        names.insert(record[1]);
    }
    EXPECT_EQ(ids.size(), 2u * kPerWriter);
    EXPECT_EQ(names.size(), 2u * kPerWriter);
}

}  // namespace
