#include "recordstore/TableLock.h"

#include "recordstore/AtomicFile.h"
#include "recordstore/RecordStoreError.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace brimhold::recordstore {

namespace {

// flock has no timeout of its own; a waiter polls this often. Short, because a busy holder releases
// the lock only for moments between its changes.
constexpr std::chrono::milliseconds kPollInterval{1};

[[noreturn]] void FailToLock(const std::string& fileName, const std::string& why) {
    throw RecordStoreError(fileName + ": cannot lock it for a change: " + why);
}

// Opens the lock file, creating it owner-only. Read access is enough for flock; no link is followed
// and a pipe put in its place cannot make the open wait.
int OpenLockFile(const std::string& fileName, const std::string& lockPath) {
    const int fd = ::open(lockPath.c_str(), O_RDONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
    if (fd < 0) {
        const int error = errno;
        FailToLock(fileName, "cannot open " + lockPath + ": " + std::strerror(error));
    }
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        FailToLock(fileName, lockPath + " is not an ordinary file");
    }
    return fd;
}

// True once the lock is had, false while another holder keeps it. Closes the descriptor and raises on
// any other failure.
bool TryToLock(int fd, const std::string& fileName, const std::string& lockPath) {
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        if (error == EWOULDBLOCK) {
            return false;
        }
        if (error != EINTR) {
            ::close(fd);
            FailToLock(fileName, lockPath + ": " + std::strerror(error));
        }
    }
    return true;
}

}  // namespace

TableLock::TableLock(const std::string& fileName, std::chrono::seconds patience) {
    const std::string lockPath = AtomicFile::HiddenSibling(fileName, "lock");
    const int fd = OpenLockFile(fileName, lockPath);
    const auto deadline = std::chrono::steady_clock::now() + patience;
    while (!TryToLock(fd, fileName, lockPath)) {
        if (std::chrono::steady_clock::now() >= deadline) {
            ::close(fd);
            FailToLock(fileName, "another program kept " + lockPath + " locked for " +
                                     std::to_string(patience.count()) + " seconds");
        }
        std::this_thread::sleep_for(kPollInterval);
    }
    m_fd = fd;
}

TableLock::~TableLock() {
    if (m_fd >= 0) {
        ::close(m_fd);  // closing the only descriptor of the open file releases the lock
    }
}

TableLock::TableLock(TableLock&& other) noexcept : m_fd(other.m_fd) {
    other.m_fd = -1;
}

}  // namespace brimhold::recordstore
