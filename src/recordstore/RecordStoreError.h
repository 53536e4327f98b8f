#pragma once

#include <stdexcept>
#include <string>

namespace brimhold::recordstore {

// Raised by the record store for errors of the file system, malformed table files and requests outside
// the table's bounds. The message always names the table file; for a malformed file it also gives the
// 1-based line number and what was wrong with that line.
class RecordStoreError : public std::runtime_error {
public:
    explicit RecordStoreError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace brimhold::recordstore
