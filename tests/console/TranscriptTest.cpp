#include "console/Transcript.h"

#include <gtest/gtest.h>

using namespace brimhold::console;

namespace {
// A line of `length` characters including its CR LF.
QByteArray line(int length, char fill = 'x') {
    return QByteArray(length - 2, fill) + "\r\n";
}

TEST(TranscriptAppend, CountsCrLfAsTwoCharactersAndNeverTrims) {
    Transcript transcript;
    transcript.append("ab\r\n");
    EXPECT_EQ(transcript.length(), 4);
    transcript.append(QByteArray(Transcript::kLimit, 'y'));
    EXPECT_EQ(transcript.length(), Transcript::kLimit + 4);
}

TEST(TranscriptAppend, ShowsCrLfAsLineBreakAndDropsLoneCrAndLf) {
    Transcript transcript;
    EXPECT_EQ(transcript.append("a\r\nb\rc\nd\r\r\n").shown, QByteArray("a\nbcd\n"));
}

TEST(TranscriptAppend, CrLfSplitOverTwoAppendsIsOneLineBreak) {
    Transcript transcript;
    EXPECT_EQ(transcript.append("Rcon on h:1.\r").shown, QByteArray("Rcon on h:1."));
    const Transcript::Appended appended = transcript.append("\nnext");
    EXPECT_EQ(appended.bytes, QByteArray("\nnext"));
    EXPECT_EQ(appended.shown, QByteArray("\nnext"));
}

TEST(TranscriptAppendLine, AddsCrLf) {
    Transcript transcript;
    Transcript::Appended appended;
    transcript.appendLineAndTrim("reply", &appended);
    EXPECT_EQ(transcript.text(), QByteArray("reply\r\n"));
    EXPECT_EQ(appended.shown, QByteArray("reply\n"));
}

TEST(TranscriptTrim, ExactlyAtTheLimitNothingIsCut) {
    Transcript transcript;
    for (int i = 0; i < Transcript::kLimit / 100; ++i) {
        transcript.append(line(100));
    }
    ASSERT_EQ(transcript.length(), Transcript::kLimit);
    EXPECT_FALSE(transcript.trim().changed());
    EXPECT_EQ(transcript.length(), Transcript::kLimit);
}

TEST(TranscriptTrim, OneOverTheLimitCutsTheFirstLineWhoseCrIsAtPositionOneOrLater) {
    Transcript transcript;
    transcript.append(line(100, 'a'));
    for (int i = 1; i < Transcript::kLimit / 100; ++i) {
        transcript.append(line(100));
    }
    transcript.append("z");  // 30001 characters: s = 1
    const Transcript::Trimmed trimmed = transcript.trim();
    EXPECT_EQ(trimmed.removedChars, 100);
    EXPECT_EQ(trimmed.removedLineBreaks, 1);
    EXPECT_EQ(transcript.length(), Transcript::kLimit - 99);
    EXPECT_FALSE(transcript.text().contains('a'));
}

// Two 10-character lines, then filler, ending kLimit + extra characters long (so s = extra).
Transcript twoShortLinesAndFiller(int extra) {
    Transcript transcript;
    transcript.append(line(10, 'a'));  // CR at position 9, LF at 10
    transcript.append(line(10, 'b'));  // CR at position 19
    transcript.append(QByteArray(Transcript::kLimit - 20, 'c'));
    transcript.append(line(extra, 'c'));
    return transcript;
}

TEST(TranscriptTrim, CutEndsAtTheFirstCrLfWhoseCrStandsAtPositionS) {
    Transcript transcript = twoShortLinesAndFiller(9);
    const QByteArray before = transcript.text();
    const Transcript::Trimmed trimmed = transcript.trim();
    EXPECT_EQ(trimmed.removedChars, 10);
    EXPECT_EQ(trimmed.removedLineBreaks, 1);
    EXPECT_EQ(transcript.text(), before.mid(10));
}

TEST(TranscriptTrim, CrLfWhoseCrStandsBeforePositionSIsPassedOver) {
    Transcript transcript = twoShortLinesAndFiller(10);  // s lands on the LF of the first line
    const QByteArray before = transcript.text();
    const Transcript::Trimmed trimmed = transcript.trim();
    EXPECT_EQ(trimmed.removedChars, 20);
    EXPECT_EQ(trimmed.removedLineBreaks, 2);
    EXPECT_EQ(transcript.text(), before.mid(20));
}

TEST(TranscriptTrim, CutsWholeLinesAndLeavesLessThanTheLimit) {
    Transcript transcript;
    int cuts = 0;
    for (int i = 0; i < 1000; ++i) {
        cuts += transcript.appendLineAndTrim(QByteArray(37 + i % 50, char('a' + i % 26))).changed();
        ASSERT_LT(transcript.length(), Transcript::kLimit + 1);
        ASSERT_TRUE(transcript.text().endsWith("\r\n"));
    }
    EXPECT_GT(cuts, 0);
    EXPECT_LT(transcript.length(), Transcript::kLimit);
    // The kept text starts where a line started: the character before it was the LF of a CR LF.
    const QByteArray first = transcript.text().left(transcript.text().indexOf("\r\n"));
    EXPECT_EQ(first, QByteArray(first.size(), first.at(0)));
}

TEST(TranscriptTrim, CountsOnlyCrLfPairsAsRemovedLines) {
    Transcript transcript;
    transcript.append("a\rb\nc\r\r\n");  // one CR LF pair
    transcript.append(QByteArray(Transcript::kLimit, 'x') + "\r\n");
    const Transcript::Trimmed trimmed = transcript.trim();
    EXPECT_EQ(trimmed.removedChars, 8 + Transcript::kLimit + 2);
    EXPECT_EQ(trimmed.removedLineBreaks, 2);
    EXPECT_EQ(transcript.length(), 0);
}

TEST(TranscriptTrim, WithoutACrLfAfterPositionSNothingIsCut) {
    Transcript transcript;
    transcript.append("a\r\n" + QByteArray(Transcript::kLimit + 5, 'x'));
    EXPECT_FALSE(transcript.trim().changed());
    EXPECT_EQ(transcript.length(), Transcript::kLimit + 8);
}
}  // namespace
