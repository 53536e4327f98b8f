#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace brimhold::recordstore {

// One field of a table: its name and its type code (-1 labels the Id field, 2 is scrambled text,
// anything else is plain text).
struct FieldDef {
    std::string name;
    int16_t type = 0;
};

// Everything a table file holds, as loaded: the store takes over a whole new TableContents after each
// successful load, so nothing of an earlier file survives a load.
struct TableContents {
    static constexpr int32_t kMaxFields = 500;
    static constexpr int32_t kMaxRecords = 10000;
    static constexpr int32_t kMaxId = 10000;
    static constexpr int16_t kScrambledType = 2;

    std::string name;
    int16_t fieldCount = 0;
    std::vector<FieldDef> fieldDefs;       // field i at index i - 1; empty when fieldCount <= 0
    std::vector<std::string> recordLines;  // record n at index n - 1, escaped and scrambled as in the file
    std::vector<int32_t> recordIds;        // the Id (value 1) of record n at index n - 1
    std::vector<int32_t> idIndex = std::vector<int32_t>(kMaxId + 1, 0);  // Id -> record number, 0 = none
    int32_t autoIncrement = 0;                                           // the Id the next new record gets

    int32_t RecordCount() const { return static_cast<int32_t>(recordLines.size()); }

    // Points every Id at its record; of two records with the same Id the later one wins.
    void RebuildIdIndex() {
        idIndex.assign(kMaxId + 1, 0);
        for (int32_t n = 1; n <= RecordCount(); ++n) {
            idIndex[recordIds[n - 1]] = n;
        }
    }
};

}  // namespace brimhold::recordstore
