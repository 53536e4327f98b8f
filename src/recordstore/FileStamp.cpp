#include "recordstore/FileStamp.h"

namespace brimhold::recordstore {

namespace {

constexpr time_t kSettleSeconds = 2;

}  // namespace

FileStamp FileStamp::FromStat(const struct stat& status) {
    FileStamp stamp;
    stamp.m_device = status.st_dev;
    stamp.m_inode = status.st_ino;
    stamp.m_size = status.st_size;
    stamp.m_modified = status.st_mtim;
    return stamp;
}

std::optional<FileStamp> FileStamp::OfPath(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        return std::nullopt;
    }
    return FromStat(status);
}

timespec FileStamp::Now() {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return now;
}

bool FileStamp::IsSettledAt(const timespec& readMoment) const {
    const time_t settledSeconds = m_modified.tv_sec + kSettleSeconds;
    if (readMoment.tv_sec != settledSeconds) {
        return readMoment.tv_sec > settledSeconds;
    }
    return readMoment.tv_nsec > m_modified.tv_nsec;
}

bool FileStamp::operator==(const FileStamp& other) const {
    return m_device == other.m_device && m_inode == other.m_inode && m_size == other.m_size &&
           m_modified.tv_sec == other.m_modified.tv_sec && m_modified.tv_nsec == other.m_modified.tv_nsec;
}

}  // namespace brimhold::recordstore
