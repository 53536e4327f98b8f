#pragma once

#include "recordstore/FileStamp.h"
#include "recordstore/TableContents.h"

#include <string>

namespace brimhold::recordstore {

// Reads and writes whole table files. Lines end in CR LF; the reader also ends a line at a lone CR.
// Values are bytes and pass through unchanged. Every failure raises RecordStoreError naming the file.
class TableFile final {
public:
    TableFile() = delete;

    // Parses the bytes of a table file into fresh contents, with AutoIncrement one above the largest Id
    // (at least 1). A malformed file raises RecordStoreError with fileName and the failing line's number.
    static TableContents Parse(const std::string& bytes, const std::string& fileName);

    // The bytes of the table file for the contents; empty record lines are left out.
    static std::string Format(const TableContents& table);

    // Reads and parses the file; stamp receives the stamp of the version that was read.
    static TableContents Read(const std::string& fileName, FileStamp& stamp);

    // Replaces the file by the formatted contents atomically: the bytes go to a temporary file in the same
    // directory (".servers.sdb.XXXXXX" for "servers.sdb"), reach the disk, and are renamed over the
    // target, so a failure or a crash leaves the old file as it was. A new file gets mode 0600, an
    // existing one keeps its mode and, where the user may set them, its owner and group. A symbolic link
    // is written through. Temporary files of that naming older than a minute are what a killed save left
    // behind and are removed first; younger ones may belong to a save still running elsewhere.
    static void Write(const std::string& fileName, const TableContents& table);

    // The lock file of the table file: ".servers.sdb.lock" beside "servers.sdb", beside the link's
    // target for a symbolic link, so that every name of one table shares one lock.
    static std::string LockPathFor(const std::string& fileName);
};

}  // namespace brimhold::recordstore
