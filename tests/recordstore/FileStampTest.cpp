#include "recordstore/FileStamp.h"

#include <gtest/gtest.h>

using namespace brimhold::recordstore;

namespace {

FileStamp stampModifiedAt(time_t seconds, long nanoseconds, off_t size = 10) {
    struct stat status {};
    status.st_dev = 1;
    status.st_ino = 2;
    status.st_size = size;
    status.st_mtim = timespec{seconds, nanoseconds};
    return FileStamp::FromStat(status);
}

TEST(FileStamp, IsSettledOnlyMoreThanTwoSecondsAfterItsModification) {
    const FileStamp stamp = stampModifiedAt(1000, 500);
    EXPECT_FALSE(stamp.IsSettledAt(timespec{1000, 500}));
    EXPECT_FALSE(stamp.IsSettledAt(timespec{1001, 999999999}));
    EXPECT_FALSE(stamp.IsSettledAt(timespec{1002, 500}));
    EXPECT_TRUE(stamp.IsSettledAt(timespec{1002, 501}));
    EXPECT_TRUE(stamp.IsSettledAt(timespec{1003, 0}));
    EXPECT_FALSE(stamp.IsSettledAt(timespec{999, 0}));  // a clock that went back proves nothing
}

TEST(FileStamp, DiffersInEveryPartThatIdentifiesAVersion) {
    const FileStamp stamp = stampModifiedAt(1000, 500);
    EXPECT_EQ(stamp, stampModifiedAt(1000, 500));
    EXPECT_NE(stamp, stampModifiedAt(1000, 501));
    EXPECT_NE(stamp, stampModifiedAt(1001, 500));
    EXPECT_NE(stamp, stampModifiedAt(1000, 500, 11));
    struct stat status {};
    status.st_dev = 1;
    status.st_ino = 3;
    status.st_size = 10;
    status.st_mtim = timespec{1000, 500};
    EXPECT_NE(stamp, FileStamp::FromStat(status));
    status.st_ino = 2;
    status.st_dev = 4;
    EXPECT_NE(stamp, FileStamp::FromStat(status));
}

}  // namespace
