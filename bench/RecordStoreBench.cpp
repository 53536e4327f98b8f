// Speed of the record store on a full server list with AutoSave on, as the connection dialog uses it:
// listing every record, adding one and removing the first. Every change re-reads the file and rewrites
// it whole, flushed to disk.
#include "recordstore/LineCodec.h"
#include "recordstore/ZurerEzuz.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <stdlib.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

using namespace brimhold::recordstore;

namespace {

// A server list with the given number of records, Ids 1..count, in a directory of its own.
class GeneratedStore {
public:
    explicit GeneratedStore(int recordCount) {
        std::string pattern = (std::filesystem::temp_directory_path() / "recordstore-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("cannot create a directory for the benchmark store");
        }
        m_directory = pattern;
        m_path = m_directory + "/servers.sdb";
        m_bytes = "Serverlijst#5\r\nId#-1\r\nServernaam#0\r\nIP#0\r\nPort#0\r\nPassword#2\r\n";
        for (int id = 1; id <= recordCount; ++id) {
            const std::string text = std::to_string(id);
            m_bytes += LineCodec::JoinLine(
                {text, "Server #" + text + " \\ public", "192.168." + text, "28960", "\xA7secret" + text});
            m_bytes += "\r\n";
        }
        restore();
    }
    ~GeneratedStore() {
        std::error_code ignored;
        std::filesystem::remove_all(m_directory, ignored);
    }

    // Writes the generated file again and dates it a minute back, as a list saved long ago.
    void restore() const {
        std::ofstream(m_path, std::ios::binary | std::ios::trunc) << m_bytes;
        setAge(60);
    }

    void setAge(time_t seconds) const {
        timespec moment{};
        ::clock_gettime(CLOCK_REALTIME, &moment);
        moment.tv_sec -= seconds;
        const timespec times[2] = {moment, moment};
        ::utimensat(AT_FDCWD, m_path.c_str(), times, 0);
    }

    const std::string& path() const { return m_path; }

private:
    std::string m_directory;
    std::string m_path;
    std::string m_bytes;
};

ZurerEzuz openWithAutoSave(const GeneratedStore& store) {
    ZurerEzuz table;
    if (!table.OpenDatabase(store.path(), false)) {
        throw std::runtime_error("cannot open the benchmark store: " + table.LastError());
    }
    table.setAutoSave(true);
    return table;
}

void listEveryRecord(ZurerEzuz& table) {
    for (int32_t nr = 1; nr <= table.RecordCount(); ++nr) {
        benchmark::DoNotOptimize(table.Record(nr)->at(1));
    }
}

// The server list filled when the dialog opens: the file was saved long before.
void bmListAllRecords(benchmark::State& state) {
    const GeneratedStore store(10000);
    ZurerEzuz table = openWithAutoSave(store);
    for (auto _ : state) {
        listEveryRecord(table);
    }
    state.counters["records"] = table.RecordCount();
}
BENCHMARK(bmListAllRecords)->Unit(benchmark::kMillisecond)->UseRealTime();

// The worst case: listing at once after the file was written, when the file's time is too recent to
// prove it unchanged and every Record re-reads it until that time is two seconds old.
void bmListAllRecordsRightAfterAWrite(benchmark::State& state) {
    const GeneratedStore store(10000);
    ZurerEzuz table = openWithAutoSave(store);
    for (auto _ : state) {
        state.PauseTiming();
        store.setAge(0);
        state.ResumeTiming();
        listEveryRecord(table);
    }
}
BENCHMARK(bmListAllRecordsRightAfterAWrite)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

// Adding one server to a list of 9,999, which makes it full; the paused removal makes room again.
void bmAddRecord(benchmark::State& state) {
    const GeneratedStore store(9999);
    ZurerEzuz table = openWithAutoSave(store);
    for (auto _ : state) {
        ZurerEzuz::Collection data{"0", "New server", "10.1.2.3", "28960", "new secret"};
        if (!table.SetRecord(data)) {
            state.SkipWithError(table.LastError().c_str());
            break;
        }
        state.PauseTiming();
        table.RemRecord(table.RecordCount());
        state.ResumeTiming();
    }
    state.counters["records"] = table.RecordCount() + 1;
}
BENCHMARK(bmAddRecord)->Unit(benchmark::kMillisecond)->UseRealTime();

// Removing the first of 10,000 servers; the paused restore puts the generated file back.
void bmRemoveFirstRecord(benchmark::State& state) {
    const GeneratedStore store(10000);
    ZurerEzuz table = openWithAutoSave(store);
    for (auto _ : state) {
        if (!table.RemRecord(1)) {
            state.SkipWithError(table.LastError().c_str());
            break;
        }
        state.PauseTiming();
        store.restore();
        state.ResumeTiming();
    }
    state.counters["records"] = table.RecordCount() + 1;
}
BENCHMARK(bmRemoveFirstRecord)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
