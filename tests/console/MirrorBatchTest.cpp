#include "console/MirrorBatch.h"

#include <QList>
#include <gtest/gtest.h>

using namespace brimhold::console;

namespace {
// A view as text: each '\n' is a line break.
QByteArray withoutFirstLines(const QByteArray& view, int lines) {
    qsizetype start = 0;
    for (int i = 0; i < lines; ++i) {
        start = view.indexOf('\n', start) + 1;
    }
    return view.mid(start);
}

QByteArray applied(const QByteArray& view, const MirrorBatch::Edit& edit) {
    return withoutFirstLines((edit.clearView ? QByteArray() : view) + edit.inserted, edit.removedLineBreaks);
}

// Appends every line to a transcript that already holds `start`, showing each step on its own and, in
// parallel, gathering them all in one batch; the batch must show the same.
void expectBatchShowsWhatEachStepShows(const QByteArray& start, const QList<QByteArray>& lines) {
    Transcript transcript;
    QByteArray stepByStep = transcript.append(start).shown;
    transcript.trim();
    const QByteArray before = stepByStep;
    MirrorBatch batch;
    for (const QByteArray& line : lines) {
        Transcript::Appended appended;
        const Transcript::Trimmed trimmed = transcript.appendLineAndTrim(line, &appended);
        stepByStep = withoutFirstLines(stepByStep + appended.shown, trimmed.removedLineBreaks);
        batch.add(appended);
        batch.add(trimmed);
    }
    EXPECT_EQ(applied(before, batch.editFor(int(before.count('\n')))), stepByStep);
    EXPECT_EQ(stepByStep, Transcript::shownText(transcript.text()));
}

TEST(MirrorBatch, TrimsThatStayInTheViewLeaveTheInsertionWhole) {
    const QByteArray start =
        QByteArray(100, 's') + "\r\n" + QByteArray(Transcript::kLimit - 200, 't') + "\r\nopen";
    expectBatchShowsWhatEachStepShows(start, {"a\rb", QByteArray(150, 'c'), "d"});
    MirrorBatch batch;
    batch.add(Transcript::Trimmed{10, 2});
    EXPECT_FALSE(batch.hasAppends());
}

TEST(MirrorBatch, TrimsThatReachIntoTheBatchDropTheViewAndTheBatchsFirstLines) {
    QList<QByteArray> lines;
    for (int i = 0; i < 40; ++i) {
        lines.append(QByteArray::number(i) + QByteArray(1015, char('a' + i % 26)) + "\r\n" + "tail");
    }
    expectBatchShowsWhatEachStepShows("Rcon on h:1.\r\nunfinished", lines);
    const MirrorBatch::Edit edit = [&] {
        MirrorBatch batch;
        batch.add(Transcript::Appended{"x\r\ny\r\n", "x\ny\n"});
        batch.add(Transcript::Trimmed{9, 3});
        return batch.editFor(2);
    }();
    EXPECT_TRUE(edit.clearView);
    EXPECT_EQ(edit.inserted, QByteArray("y\n"));
}
}  // namespace
