#pragma once

#include <optional>
#include <string>
#include <sys/stat.h>
#include <sys/types.h>
#include <time.h>

namespace brimhold::recordstore {

// What identifies one version of a file without reading it: device, inode, size and modification time
// to the nanosecond. Equal stamps prove the file unchanged only when the modification time lies well
// before the moment the file was read, since a rewrite within the same clock tick keeps the time.
class FileStamp final {
public:
    static FileStamp FromStat(const struct stat& status);
    // The stamp of the file at path now, or nothing when it cannot be examined.
    static std::optional<FileStamp> OfPath(const std::string& path);
    // The system's wall clock, the one file modification times are taken from.
    static timespec Now();

    // True when the modification time is more than two seconds older than readMoment, so that any later
    // write to the file must show in its stamp.
    bool IsSettledAt(const timespec& readMoment) const;

    bool operator==(const FileStamp& other) const;
    bool operator!=(const FileStamp& other) const { return !(*this == other); }

private:
    dev_t m_device = 0;
    ino_t m_inode = 0;
    off_t m_size = 0;
    timespec m_modified{};
};

}  // namespace brimhold::recordstore
