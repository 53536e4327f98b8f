// The store shared by several processes: concurrent writers, and a writer killed at any moment.
#include "recordstore/FieldScrambler.h"
#include "recordstore/LineCodec.h"
#include "recordstore/ZurerEzuz.h"

#include "ScratchDirectory.h"
#include "ServerListSchema.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <iostream>
#include <poll.h>
#include <random>
#include <set>
#include <signal.h>
#include <string>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace brimhold::recordstore;

namespace {

using Collection = ZurerEzuz::Collection;
using namespace std::chrono_literals;

const std::string kServerListHeader = kServerListSchema;

// Runs body in a child process, which ends with status 0 when body returns true and 1 otherwise. The
// child is killed when the test process dies, so none outlives a crashed test.
pid_t startChild(const std::function<bool()>& body) {
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
int waitForChild(pid_t pid, std::chrono::seconds limit) {
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
        writers.push_back(startChild([&] {
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
        EXPECT_EQ(waitForChild(writer, 60s), 0) << "a writer failed or was refused a change";
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

// The saving child's table of one generation: records 1..1000, every name carrying the generation.
constexpr int kRecords = 1000;

Collection recordOf(int generation, int id) {
    const std::string text = std::to_string(id);
    return {text, "g" + std::to_string(generation) + " server " + text, "10.0." + text, "28960",
            "pw " + text};
}

std::string tableBytes(int generation) {
    const std::string key = ZurerEzuz().SmartEncryptKey();
    std::string bytes = kServerListHeader;
    for (int id = 1; id <= kRecords; ++id) {
        Collection record = recordOf(generation, id);
        record[4] = FieldScrambler::ScrambleField(record[4], key);
        bytes += LineCodec::JoinLine(record) + "\r\n";
    }
    return bytes;
}

// The generation of the table file, from the name of its first record; -1 when it is none of them.
int generationOf(const std::string& path) {
    try {
        ZurerEzuz store;
        if (!store.OpenDatabase(path, false)) {
            return -1;
        }
        const int generation = std::stoi(store.Record(1).value().at(1).substr(1));
        return ReadBytes(path) == tableBytes(generation) ? generation : -1;
    } catch (const std::exception& error) {
        ADD_FAILURE() << error.what();
        return -1;
    }
}

// Opens the table and saves it again and again, one generation further each time, until it is
// killed (or, should nobody kill it, for 5 seconds). Tells ready once the table is open.
bool saveGenerationsUntilKilled(const std::string& path, int ready) {
    ZurerEzuz store;
    if (!store.OpenDatabase(path, false)) {
        return false;
    }
    const int first = std::stoi(store.Record(1).value().at(1).substr(1)) + 1;
    (void)::write(ready, "r", 1);
    const auto end = std::chrono::steady_clock::now() + 5s;
    for (int generation = first; std::chrono::steady_clock::now() < end; ++generation) {
        for (int id = 1; id <= kRecords; ++id) {
            Collection data = recordOf(generation, id);
            if (!store.SetRecord(data)) {
                return false;
            }
        }
        if (!store.SaveDatabase()) {
            return false;
        }
    }
    return true;
}

// How long one round of the saving child (every record set, then a save) takes in this build on this
// machine, so that the kills land inside saves under sanitizers and on slow machines too.
std::chrono::microseconds oneSaveRound() {
    const ScratchDirectory directory;
    const std::string path = directory.File("servers.sdb");
    WriteBytes(path, tableBytes(0));
    ZurerEzuz store;
    if (!store.OpenDatabase(path, false)) {
        return {};
    }
    const auto start = std::chrono::steady_clock::now();
    for (int id = 1; id <= kRecords; ++id) {
        Collection data = recordOf(1, id);
        store.SetRecord(data);
    }
    store.SaveDatabase();
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start);
}

// The directory holds only the table, its lock file and what saves left behind.
std::vector<std::string> temporariesIn(const ScratchDirectory& directory) {
    std::vector<std::string> temporaries = directory.Entries();
    const auto isTableOrLock = [](const std::string& name) {
        return name == "servers.sdb" || name == ".servers.sdb.lock";
    };
    temporaries.erase(std::remove_if(temporaries.begin(), temporaries.end(), isTableOrLock),
                      temporaries.end());
    return temporaries;
}

// A save killed at any moment leaves the old table or the new one, whole, and at most one temporary
// file; a later save removes such a file once it is a minute old (the test ages each one at once).
TEST(ZurerEzuzProcesses, ASaveKilledAtAnyMomentLeavesAWholeTable) {
    const ScratchDirectory directory;
    const std::string path = directory.File("servers.sdb");
    WriteBytes(path, tableBytes(0));
    const unsigned seed = std::random_device{}();
    std::mt19937 random(seed);
    const auto longestDelay = std::max<std::chrono::microseconds::rep>(12000, 2 * oneSaveRound().count());
    std::uniform_int_distribution<long long> delayMicroseconds(0, longestDelay);
    SCOPED_TRACE("seed " + std::to_string(seed));

    int generation = 0;
    int killsLeavingATemporary = 0;
    std::vector<std::string> agedTemporaries;
    for (int kill = 1; kill <= 200; ++kill) {
        int ready[2];
        ASSERT_EQ(::pipe(ready), 0);
        const pid_t saver = startChild([&] { return saveGenerationsUntilKilled(path, ready[1]); });
        ::close(ready[1]);
        pollfd started{ready[0], POLLIN, 0};
        ASSERT_EQ(::poll(&started, 1, 5000), 1) << "the saving child did not start";
        ::close(ready[0]);
        std::this_thread::sleep_for(std::chrono::microseconds(delayMicroseconds(random)));
        ::kill(saver, SIGKILL);
        EXPECT_EQ(waitForChild(saver, 10s), -1) << "the saving child ended by itself";

        const int found = generationOf(path);
        ASSERT_GE(found, generation) << "after kill " << kill << " the file holds no whole table it had";
        const std::vector<std::string> temporaries = temporariesIn(directory);
        ASSERT_LE(temporaries.size(), 1u) << "after kill " << kill;
        if (found > generation) {
            for (const std::string& aged : agedTemporaries) {
                EXPECT_FALSE(std::filesystem::exists(directory.File(aged)))
                    << "a stale " << aged << " stayed";
            }
        }
        generation = found;
        killsLeavingATemporary += temporaries.empty() ? 0 : 1;
        for (const std::string& name : temporaries) {
            SetModificationTime(directory.File(name), SecondsAgo(120));
        }
        agedTemporaries = temporaries;
    }
    EXPECT_GT(generation, 0) << "no save ever completed";
    std::cout << "200 kills: " << generation << " tables saved, " << killsLeavingATemporary
              << " kills left a temporary file\n";
}

}  // namespace
