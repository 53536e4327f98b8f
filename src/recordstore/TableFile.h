#pragma once

#include "recordstore/FileStamp.h"
#include "recordstore/TableContents.h"

#include <string>

namespace brimhold::recordstore {

// The text format of a table file: a header line (name, field count), one line per field (name, type),
// then one line per record. Lines end in CR LF; the reader also ends a line at a lone CR. Values are
// bytes and pass through unchanged. Every failure raises RecordStoreError naming the file.
class TableFile final {
public:
    TableFile() = delete;

    // Parses the bytes of a table file into fresh contents, with AutoIncrement one above the largest Id
    // (at least 1). A malformed file raises RecordStoreError with fileName and the failing line's number.
    static TableContents Parse(const std::string& bytes, const std::string& fileName);

    // The bytes of the table file for the contents; empty record lines are left out.
    static std::string Format(const TableContents& table);

    // Reads the file (see AtomicFile::Read) and parses it; stamp receives the stamp of the version that
    // was read, and is left alone when reading or parsing fails.
    static TableContents Read(const std::string& fileName, FileStamp& stamp);

    // Replaces the file by the formatted contents atomically (see AtomicFile::Replace).
    static void Write(const std::string& fileName, const TableContents& table);
};

}  // namespace brimhold::recordstore
