#include "recordstore/AtomicFile.h"

#include "recordstore/RecordStoreError.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

namespace brimhold::recordstore {

namespace {

const char* const kTemporarySuffix = "XXXXXX";  // what mkstemp replaces by letters and digits
constexpr time_t kStaleTemporarySeconds = 60;

// error is the errno of the failed call, taken before building the message can disturb errno.
[[noreturn]] void FailOnFile(int error, const std::string& fileName, const std::string& action) {
    throw RecordStoreError(fileName + ": cannot " + action + ": " + std::strerror(error));
}

std::string ReadAll(int fd, const std::string& fileName) {
    std::string bytes;
    char buffer[65536];
    for (;;) {
        const ssize_t count = ::read(fd, buffer, sizeof buffer);
        if (count == 0) {
            return bytes;
        }
        if (count < 0) {
            if (errno == EINTR) {
                continue;
            }
            const int error = errno;
            FailOnFile(error, fileName, "read");
        }
        bytes.append(buffer, static_cast<std::size_t>(count));
    }
}

void WriteAll(int fd, const std::string& bytes, const std::string& fileName) {
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t count = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (count < 0) {
            if (errno == EINTR) {
                continue;
            }
            const int error = errno;
            FailOnFile(error, fileName, "write");
        }
        written += static_cast<std::size_t>(count);
    }
}

// Closes the descriptor on every path out.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int Get() const { return m_fd; }
    int Close() {
        const int result = ::close(m_fd);
        m_fd = -1;
        return result;
    }

private:
    int m_fd;
};

// Removes the temporary file unless the save got as far as renaming it.
class TemporaryFile {
public:
    explicit TemporaryFile(std::string path) : m_path(std::move(path)) {}
    ~TemporaryFile() {
        if (!m_path.empty()) {
            ::unlink(m_path.c_str());
        }
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    const std::string& Path() const { return m_path; }
    void Keep() { m_path.clear(); }

private:
    std::string m_path;
};

std::string WriteTarget(const std::string& fileName) {
    struct stat status {};
    if (::lstat(fileName.c_str(), &status) == 0 && S_ISLNK(status.st_mode)) {
        char resolved[PATH_MAX];
        if (::realpath(fileName.c_str(), resolved) != nullptr) {
            return resolved;
        }
    }
    return fileName;
}

std::string DirectoryOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string BaseNameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The owner, group and mode the saved file gets: those of the file it replaces, or for a new file the
// saving user's with mode 0600, since the table holds passwords.
struct SaveAttributes {
    bool replacesAFile = false;
    uid_t owner = 0;
    gid_t group = 0;
    mode_t mode = 0600;
};

SaveAttributes AttributesForSave(const std::string& target) {
    SaveAttributes attributes;
    struct stat status {};
    if (::stat(target.c_str(), &status) == 0) {
        attributes.replacesAFile = true;
        attributes.owner = status.st_uid;
        attributes.group = status.st_gid;
        attributes.mode = status.st_mode & 07777;
    } else if (errno != ENOENT) {
        const int error = errno;
        FailOnFile(error, target, "examine");
    }
    return attributes;
}

// "." + the table file's name + "." + what follows: the naming of its temporary and lock files.
std::string HiddenSiblingOf(const std::string& target, const std::string& suffix) {
    return DirectoryOf(target) + "/." + BaseNameOf(target) + "." + suffix;
}

bool IsTemporaryName(const std::string& name, const std::string& prefix) {
    const std::size_t suffixLength = std::strlen(kTemporarySuffix);
    if (name.size() != prefix.size() + suffixLength || name.compare(0, prefix.size(), prefix) != 0) {
        return false;
    }
    for (std::size_t i = prefix.size(); i < name.size(); ++i) {
        const char c = name[i];
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) {
            return false;
        }
    }
    return true;
}

// Removes the temporary files of the target's naming that were last written over a minute ago: a save
// that was killed left them. Best effort: whatever cannot be examined or removed stays.
void RemoveStaleTemporaries(const std::string& target) {
    const std::string directory = DirectoryOf(target);
    const std::string prefix = "." + BaseNameOf(target) + ".";
    DIR* listing = ::opendir(directory.c_str());
    if (listing == nullptr) {
        return;
    }
    const time_t staleBefore = ::time(nullptr) - kStaleTemporarySeconds;
    while (const dirent* entry = ::readdir(listing)) {
        const std::string name = entry->d_name;
        if (!IsTemporaryName(name, prefix)) {
            continue;
        }
        const std::string path = directory + "/" + name;
        struct stat status {};
        if (::lstat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) && status.st_mtime < staleBefore) {
            ::unlink(path.c_str());
        }
    }
    ::closedir(listing);
}

void SyncDirectory(const std::string& directory) {
    // Makes the rename itself durable; a file system that cannot sync directories still has the data.
    const int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

}  // namespace

std::string AtomicFile::Read(const std::string& fileName, FileStamp& stamp) {
    // Non-blocking, so that a pipe put in the file's place cannot make the open wait for a writer.
    FileDescriptor file(::open(fileName.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (file.Get() < 0) {
        const int error = errno;
        FailOnFile(error, fileName, "open for reading");
    }
    struct stat status {};
    if (::fstat(file.Get(), &status) != 0) {
        const int error = errno;
        FailOnFile(error, fileName, "examine");
    }
    if (!S_ISREG(status.st_mode)) {
        // A pipe or a device may never end; a directory cannot be read as lines.
        throw RecordStoreError(fileName + ": cannot read it: it is not an ordinary file");
    }
    std::string bytes = ReadAll(file.Get(), fileName);
    stamp = FileStamp::FromStat(status);
    return bytes;
}

void AtomicFile::Replace(const std::string& fileName, const std::string& bytes) {
    const std::string target = WriteTarget(fileName);
    const SaveAttributes attributes = AttributesForSave(target);
    const std::string directory = DirectoryOf(target);
    RemoveStaleTemporaries(target);

    std::string pattern = HiddenSiblingOf(target, kTemporarySuffix);
    FileDescriptor file(::mkstemp(pattern.data()));
    if (file.Get() < 0) {
        const int error = errno;
        FailOnFile(error, fileName, "create a temporary file in " + directory);
    }
    TemporaryFile temporary(pattern);
    if (attributes.replacesAFile) {
        // Only root may give the file to another user; anyone else saves a file of their own.
        (void)::fchown(file.Get(), attributes.owner, attributes.group);
    }
    if (::fchmod(file.Get(), attributes.mode) != 0) {
        const int error = errno;
        FailOnFile(error, fileName, "set the mode of " + temporary.Path());
    }
    WriteAll(file.Get(), bytes, fileName);
    if (::fsync(file.Get()) != 0) {
        const int error = errno;
        FailOnFile(error, fileName, "flush " + temporary.Path() + " to disk");
    }
    if (file.Close() != 0) {
        const int error = errno;
        FailOnFile(error, fileName, "close " + temporary.Path());
    }
    if (::rename(temporary.Path().c_str(), target.c_str()) != 0) {
        const int error = errno;
        FailOnFile(error, fileName, "replace it by " + temporary.Path());
    }
    temporary.Keep();
    SyncDirectory(directory);
}

std::string AtomicFile::HiddenSibling(const std::string& fileName, const std::string& suffix) {
    return HiddenSiblingOf(WriteTarget(fileName), suffix);
}

}  // namespace brimhold::recordstore
