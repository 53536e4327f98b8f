#include "recordstore/AtomicFile.h"
#include "recordstore/RecordStoreError.h"

#include "FileSizeLimit.h"
#include "ScratchDirectory.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

using namespace brimhold::recordstore;

namespace {

using testing::HasSubstr;
using testing::ThrowsMessage;

const std::string kBytes = "T#1\r\nId#-1\r\n1\r\n";

TEST(AtomicFileReplace, ANewFileIsForItsOwnerAloneAndAnOldOneKeepsItsMode) {
    ScratchDirectory directory;

    const std::string fresh = directory.File("fresh.sdb");
    AtomicFile::Replace(fresh, kBytes);
    EXPECT_EQ(PermissionsOf(fresh), 0600u);
    EXPECT_EQ(ReadBytes(fresh), kBytes);

    const std::string shared = directory.File("shared.sdb");
    WriteBytes(shared, "old");
    ::chmod(shared.c_str(), 0640);
    AtomicFile::Replace(shared, kBytes);
    EXPECT_EQ(PermissionsOf(shared), 0640u);
    EXPECT_EQ(ReadBytes(shared), kBytes);

    const auto entries = directory.Entries();
    EXPECT_EQ(entries.size(), 2u) << "a temporary file was left behind";
}

TEST(AtomicFileReplace, AnOldFileKeepsItsOwnerAndGroup) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "only root can give a file to another user";
    }
    ScratchDirectory directory;
    const std::string shared = directory.File("shared.sdb");
    WriteBytes(shared, "old");
    ASSERT_EQ(::chown(shared.c_str(), 4321, 8765), 0);
    AtomicFile::Replace(shared, kBytes);
    struct stat status {};
    ASSERT_EQ(::stat(shared.c_str(), &status), 0);
    EXPECT_EQ(status.st_uid, 4321u);
    EXPECT_EQ(status.st_gid, 8765u);
    EXPECT_EQ(ReadBytes(shared), kBytes);
}

TEST(AtomicFileReplace, WritesThroughASymbolicLink) {
    ScratchDirectory directory;
    const std::string target = directory.File("target.sdb");
    const std::string link = directory.File("link.sdb");
    WriteBytes(target, "old");
    ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0);
    AtomicFile::Replace(link, kBytes);
    EXPECT_EQ(ReadBytes(target), kBytes);
    struct stat status {};
    ASSERT_EQ(::lstat(link.c_str(), &status), 0);
    EXPECT_TRUE(S_ISLNK(status.st_mode));
    EXPECT_EQ(AtomicFile::HiddenSibling(link, "lock"), directory.File(".target.sdb.lock"))
        << "one lock for both names";
}

TEST(AtomicFileReplace, RemovesOnlyItsOwnTemporaryFilesOlderThanAMinute) {
    ScratchDirectory directory;
    const std::string path = directory.File("servers.sdb");
    const std::string stale = ".servers.sdb.Ab12Cd";
    std::vector<std::string> kept{".servers.sdb.Young1", ".servers.sdb.lock", ".servers.sdb.ABCDEFG",
                                  ".servers.sdb.AB-DEF", ".other.sdb.ABCDEF", "servers.sdb.ABCDEF"};
    for (const std::string& name : kept) {
        WriteBytes(directory.File(name), "x");
        if (name != kept.front()) {
            SetModificationTime(directory.File(name), SecondsAgo(120));
        }
    }
    WriteBytes(directory.File(stale), "x");
    SetModificationTime(directory.File(stale), SecondsAgo(61));

    AtomicFile::Replace(path, kBytes);
    kept.push_back("servers.sdb");
    std::vector<std::string> entries = directory.Entries();
    std::sort(kept.begin(), kept.end());
    std::sort(entries.begin(), entries.end());
    EXPECT_EQ(entries, kept);
}

TEST(AtomicFileReplace, AFailedWriteLeavesTheOldFileIntact) {
    ScratchDirectory directory;
    const std::string path = directory.File("servers.sdb");
    const std::string oldBytes = kBytes + "2\r\n";
    WriteBytes(path, oldBytes);
    {
        const FileSizeLimit limit(256);
        EXPECT_THAT([&] { AtomicFile::Replace(path, oldBytes + std::string(1000, 'x')); },
                    ThrowsMessage<RecordStoreError>(HasSubstr(path)));
    }
    EXPECT_EQ(ReadBytes(path), oldBytes);
    EXPECT_EQ(directory.Entries(), std::vector<std::string>{"servers.sdb"});
}

TEST(AtomicFileReadReplace, FailuresToOpenOrCreateNameTheFile) {
    ScratchDirectory directory;
    const std::string missing = directory.File("missing.sdb");
    FileStamp stamp;
    EXPECT_THAT([&] { AtomicFile::Read(missing, stamp); },
                ThrowsMessage<RecordStoreError>(HasSubstr(missing)));
    const std::string inMissingDirectory = directory.File("gone/servers.sdb");
    EXPECT_THAT([&] { AtomicFile::Replace(inMissingDirectory, kBytes); },
                ThrowsMessage<RecordStoreError>(HasSubstr(inMissingDirectory)));
}

}  // namespace
