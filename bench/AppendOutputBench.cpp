// Appends 20,000 replies of 80 characters through frmMain::AppendOutput into a real (offscreen) output
// box and prints the mean cost of the first and of the last 1,000 appends. An append must cost the
// same however long the transcript has grown: the goal is last/first <= 1.5 and all in under 1 s.

#include "console/frmMain.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>

#include <cstdio>
#include <vector>

using namespace brimhold::console;

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ConsoleOptions options;
    options.endProgram = [] {};
    frmMain window(options);
    window.show();

    constexpr int kAppends = 20000;
    constexpr int kWindow = 1000;
    std::vector<qint64> costNs(kAppends);
    QElapsedTimer total;
    total.start();
    for (int i = 0; i < kAppends; ++i) {
        QByteArray reply = QByteArray::number(i).rightJustified(6, '0') + ' ';
        reply.append(QByteArray(80 - reply.size(), char('a' + i % 26)));
        QElapsedTimer one;
        one.start();
        window.AppendOutput(reply);
        costNs[i] = one.nsecsElapsed();
    }
    const double totalMs = total.nsecsElapsed() / 1e6;

    auto meanUs = [&costNs](int from) {
        qint64 sum = 0;
        for (int i = from; i < from + kWindow; ++i) {
            sum += costNs[i];
        }
        return sum / 1000.0 / kWindow;
    };
    const double first = meanUs(0);
    const double last = meanUs(kAppends - kWindow);
    std::printf("AppendOutput: %d appends of 80 characters in %.1f ms\n", kAppends, totalMs);
    std::printf("  mean of first %d: %.2f us, mean of last %d: %.2f us, ratio last/first %.2f\n", kWindow,
                first, kWindow, last, last / first);
    std::printf("  transcript %d characters, output box %d lines\n", window.transcript().length(),
                window.Text1->blockCount());
    std::printf("  goals: ratio <= 1.5 %s, total < 1 s %s\n", last / first <= 1.5 ? "met" : "MISSED",
                totalMs < 1000 ? "met" : "MISSED");
    window.hide();
    return 0;
}
