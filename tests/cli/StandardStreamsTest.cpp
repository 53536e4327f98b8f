#include "cli/StandardStreams.h"

#include <QBuffer>
#include <QFile>
#include <gtest/gtest.h>

using namespace brimhold::cli;

namespace {

// A run ends at its first failed write, but later steps of the run may still try to write (or to tell
// of the failure) before the program exits.
TEST(StandardStreams, AFailedWriteIsToldOnceAndNothingIsWrittenAfterIt) {
    QFile full(QStringLiteral("/dev/full"));
    ASSERT_TRUE(full.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    QBuffer errors;
    errors.open(QIODevice::WriteOnly);
    StandardStreams streams(full, errors);

    EXPECT_FALSE(streams.print("first reply\n"));
    EXPECT_EQ(streams.failure(), StandardStreams::Failure::Error);
    EXPECT_FALSE(streams.complain(QStringLiteral("a later problem")));
    streams.reportFailure();
    streams.reportFailure();
    const QByteArray told = errors.data();
    EXPECT_TRUE(told.startsWith("brimhold-rcon-cli: cannot write to standard output: ")) << told.constData();
    EXPECT_EQ(told.count('\n'), 1);
}

}  // namespace
