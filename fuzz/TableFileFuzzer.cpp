// The table file parser and loader: arbitrary bytes as a table file. A file the store opens must keep
// every record through adding one, saving and reopening, and saving the reopened table changes nothing.
#include "recordstore/RecordStoreError.h"
#include "recordstore/TableContents.h"
#include "recordstore/ZurerEzuz.h"

#include "FuzzCheck.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <stdlib.h>
#include <string>
#include <vector>

using namespace brimhold::recordstore;

namespace {

using Collection = ZurerEzuz::Collection;

// Everything the store's interface shows of a table. A record that the store refuses to read (fewer
// values than fields) is kept as nothing, so that it must stay refused after the round trip.
struct Snapshot {
    std::string name;
    int16_t fieldCount = 0;
    std::vector<std::string> fieldNames;
    std::vector<int16_t> fieldTypes;
    std::vector<std::optional<Collection>> records;

    bool operator==(const Snapshot& other) const {
        return name == other.name && fieldCount == other.fieldCount && fieldNames == other.fieldNames &&
               fieldTypes == other.fieldTypes && records == other.records;
    }
};

Snapshot Take(ZurerEzuz& store) {
    Snapshot snapshot;
    snapshot.name = store.Name();
    snapshot.fieldCount = store.FieldCount();
    for (int32_t nr = 1; nr <= store.FieldCount(); ++nr) {
        snapshot.fieldNames.push_back(store.FieldName(nr));
        snapshot.fieldTypes.push_back(store.FieldType(nr));
    }
    for (int32_t nr = 1; nr <= store.RecordCount(); ++nr) {
        try {
            snapshot.records.push_back(store.Record(nr));
            FUZZ_CHECK(snapshot.records.back().has_value());
        } catch (const RecordStoreError&) {
            snapshot.records.push_back(std::nullopt);
        }
    }
    return snapshot;
}

// A new record whose values are slices of the input: any bytes in plain fields, and in scrambled ones
// the same bytes brought into 32..254, the only bytes scrambling is defined on.
Collection NewRecord(const Snapshot& table, const std::string& input) {
    Collection record{"0"};
    for (int32_t nr = 2; nr <= table.fieldCount; ++nr) {
        std::string value = input.substr(std::min(input.size(), std::size_t(nr) * 3), 6);
        if (table.fieldTypes[nr - 1] == TableContents::kScrambledType) {
            for (char& c : value) {
                c = static_cast<char>(32 + static_cast<unsigned char>(c) % 223);
            }
        }
        record.push_back(value);
    }
    return record;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    FUZZ_CHECK(out.good());
}

// The fuzzer's own directory, removed when the run ends normally.
std::string g_directory;

void RemoveDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(g_directory, ignored);
}

// Adds a record if the table can take one; a refusal is only allowed when no Id is left.
void AddRecord(ZurerEzuz& store, Snapshot& expected, const std::string& input) {
    if (store.FieldCount() <= 0) {
        return;
    }
    Collection record = NewRecord(expected, input);
    const Collection given = record;
    bool stored = false;
    try {
        stored = store.SetRecord(record);
    } catch (const RecordStoreError&) {
    }
    if (!stored) {
        FUZZ_CHECK(store.AutoIncrement() > TableContents::kMaxId);
        FUZZ_CHECK(record == given && store.RecordCount() == static_cast<int32_t>(expected.records.size()));
        return;
    }
    FUZZ_CHECK(store.RecordCount() == static_cast<int32_t>(expected.records.size()) + 1);
    FUZZ_CHECK(store.GetRecordNrById(std::stoi(record[0])) == store.RecordCount());
    Collection plain = given;
    plain[0] = record[0];
    expected.records.emplace_back(plain);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::string pattern = (std::filesystem::temp_directory_path() / "brimhold-table-fuzz-XXXXXX").string();
    FUZZ_CHECK(::mkdtemp(pattern.data()) != nullptr);
    g_directory = pattern;
    std::atexit(RemoveDirectory);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = g_directory + "/servers.sdb";
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    WriteFile(path, bytes);

    ZurerEzuz store;
    store.setYesNoQuestion([](const std::string&, const std::string&) { return false; });
    Snapshot expected;
    try {
        FUZZ_CHECK(store.OpenDatabase(path, true));
        expected = Take(store);
    } catch (const RecordStoreError&) {
        return 0;  // a malformed file is refused: nothing more to keep
    }
    AddRecord(store, expected, bytes);
    FUZZ_CHECK(store.SaveDatabase());
    const std::string saved = ReadFile(path);

    ZurerEzuz reopened;
    FUZZ_CHECK(reopened.OpenDatabase(path, false));  // a file the store wrote must open (or this throws)
    FUZZ_CHECK(Take(reopened) == expected);
    FUZZ_CHECK(reopened.SaveDatabase());
    FUZZ_CHECK(ReadFile(path) == saved);
    return 0;
}
