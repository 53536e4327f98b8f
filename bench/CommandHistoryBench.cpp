// Cost of recording and recalling console commands with a full history. Once 512 commands are held,
// every record shifts the whole history by one slot; that move is fixed in size, so the cost per
// record must not grow with the number of commands typed.
#include "console/CommandHistory.h"

#include <benchmark/benchmark.h>

#include <vector>

using namespace brimhold::console;

namespace {

constexpr int kCommands = 10000;

const std::vector<QString>& commands() {
    static const std::vector<QString> kList = [] {
        std::vector<QString> made;
        made.reserve(kCommands);
        for (int n = 0; n < kCommands; ++n) {
            made.push_back(QStringLiteral("pb_sv_kick %1  \"reason number %2\"").arg(n % 64).arg(n));
        }
        return made;
    }();
    return kList;
}

// One iteration records 10,000 commands into a fresh history; the figure is the mean per record.
void bmRecord10000Commands(benchmark::State& state) {
    const std::vector<QString>& list = commands();
    for (auto _ : state) {
        CommandHistory history;
        for (const QString& command : list) {
            history.record(command);
        }
        benchmark::DoNotOptimize(history.HistoryCount());
    }
    state.counters["per_record"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * kCommands,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(bmRecord10000Commands)->Unit(benchmark::kMillisecond);

// One iteration recalls 10,000 times through a full history: up to the oldest and down past the newest,
// again and again; the figure is the mean per recall.
void bmRecall10000Times(benchmark::State& state) {
    CommandHistory history;
    for (const QString& command : commands()) {
        history.record(command);
    }
    for (auto _ : state) {
        int recalled = 0;
        while (recalled < kCommands) {
            for (int step = 0; step < 513 && recalled < kCommands; ++step, ++recalled) {
                benchmark::DoNotOptimize(history.recallUp());
            }
            for (int step = 0; step < 513 && recalled < kCommands; ++step, ++recalled) {
                benchmark::DoNotOptimize(history.recallDown());
            }
        }
    }
    state.counters["per_recall"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * kCommands,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(bmRecall10000Times)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
