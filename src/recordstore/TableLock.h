#pragma once

#include <chrono>
#include <string>

namespace brimhold::recordstore {

// The lock that makes one change of a table file a critical section across processes: an exclusive
// flock on the lock file beside the table (".servers.sdb.lock" for "servers.sdb", beside the link's
// target for a symbolic link, so that every name of one table shares one lock), held while the object
// lives. The lock file is created owner-only when missing and never deleted, so every process locks the
// same inode. The kernel drops the lock when its holder dies, however it ends.
class TableLock final {
public:
    // Waits up to patience for the lock of the table file fileName. Raises RecordStoreError naming the
    // table file when the lock file cannot be opened or another holder keeps the lock for the whole wait.
    TableLock(const std::string& fileName, std::chrono::seconds patience);
    ~TableLock();
    TableLock(TableLock&& other) noexcept;
    TableLock(const TableLock&) = delete;
    TableLock& operator=(const TableLock&) = delete;
    TableLock& operator=(TableLock&&) = delete;

private:
    int m_fd = -1;
};

}  // namespace brimhold::recordstore
