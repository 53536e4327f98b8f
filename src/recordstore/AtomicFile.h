#pragma once

#include "recordstore/FileStamp.h"

#include <string>

namespace brimhold::recordstore {

// A file that is read whole and replaced whole, so that a reader never sees half of a save. Contents
// are bytes and pass through unchanged. Every failure raises RecordStoreError naming the file.
class AtomicFile final {
public:
    AtomicFile() = delete;

    // The bytes of the ordinary file fileName; stamp receives the stamp of the version that was read.
    // A pipe, a device or a directory in its place is refused without waiting for a writer.
    static std::string Read(const std::string& fileName, FileStamp& stamp);

    // Replaces the file by bytes atomically: the bytes go to a temporary file in the same directory
    // (".servers.sdb.XXXXXX" for "servers.sdb"), reach the disk, and are renamed over the target, so a
    // failure or a crash leaves the old file as it was. A new file gets mode 0600, an existing one keeps
    // its mode and, where the user may set them, its owner and group. A symbolic link is written
    // through. Temporary files of that naming older than a minute are what a killed save left behind
    // and are removed first; younger ones may belong to a save still running elsewhere.
    static void Replace(const std::string& fileName, const std::string& bytes);

    // "." + the file's name + "." + suffix beside "servers.sdb" (".servers.sdb.lock" for "lock"),
    // beside the link's target for a symbolic link, so that every name of one file shares its companions.
    static std::string HiddenSibling(const std::string& fileName, const std::string& suffix);
};

}  // namespace brimhold::recordstore
