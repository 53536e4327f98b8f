#pragma once

#include <signal.h>
#include <stdexcept>
#include <sys/resource.h>

// Limits the size of files this process may write, for as long as the object lives. Writes beyond the
// limit fail with EFBIG for every user, root included, which makes a failing save reproducible without
// special file systems. SIGXFSZ is ignored meanwhile so the failure shows as an error instead of a signal.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        if (::getrlimit(RLIMIT_FSIZE, &m_previous) != 0) {
            throw std::runtime_error("cannot read the file size limit");
        }
        m_previousHandler = ::signal(SIGXFSZ, SIG_IGN);
        rlimit limited = m_previous;
        limited.rlim_cur = bytes;
        if (::setrlimit(RLIMIT_FSIZE, &limited) != 0) {
            throw std::runtime_error("cannot set the file size limit");
        }
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &m_previous);
        ::signal(SIGXFSZ, m_previousHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_previous{};
    void (*m_previousHandler)(int) = nullptr;
};
