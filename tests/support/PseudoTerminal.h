#pragma once

// A program run on a pseudo-terminal of its own, as at a user's terminal: what it prints is gathered
// from the event loop, keys are written to it. Every wait runs the event loop (so servers in the same
// process answer) and is bounded in time.

#include <QByteArray>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QSocketNotifier>
#include <QStringList>
#include <QThread>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <optional>
#include <pty.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

class PseudoTerminal final {
public:
    // Starts the program with the arguments and these variables added to the environment, on an 80 x 24
    // terminal.
    PseudoTerminal(const QString& program, const QStringList& arguments,
                   const QList<QPair<QByteArray, QByteArray>>& environment = {}) {
        std::vector<std::string> words{program.toStdString()};
        for (const QString& argument : arguments) {
            words.push_back(argument.toStdString());
        }
        winsize size{};
        size.ws_row = 24;
        size.ws_col = 80;
        m_pid = forkpty(&m_master, nullptr, nullptr, &size);
        if (m_pid == 0) {
            for (const auto& [name, value] : environment) {
                setenv(name.constData(), value.constData(), 1);
            }
            std::vector<char*> argv;
            for (std::string& word : words) {
                argv.push_back(word.data());
            }
            argv.push_back(nullptr);
            execv(argv[0], argv.data());
            _exit(127);
        }
        if (m_pid > 0) {
            fcntl(m_master, F_SETFL, fcntl(m_master, F_GETFL) | O_NONBLOCK);
            m_notifier = std::make_unique<QSocketNotifier>(m_master, QSocketNotifier::Read);
            QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [this] { readOutput(); });
        }
    }

    ~PseudoTerminal() {
        m_notifier.reset();
        if (m_pid > 0 && !m_exitCode) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
        if (m_master >= 0) {
            close(m_master);
        }
    }

    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    bool isRunning() const { return m_pid > 0 && !m_exitCode; }
    pid_t pid() const { return m_pid; }
    // Everything printed so far, as the terminal received it (line ends as CR LF).
    const QByteArray& output() const { return m_output; }
    // The output after a mark, taken with mark().
    QByteArray outputSince(qsizetype mark) const { return m_output.mid(mark); }
    qsizetype mark() const { return m_output.size(); }

    void type(const QByteArray& keys) {
        [[maybe_unused]] const ssize_t written = ::write(m_master, keys.constData(), size_t(keys.size()));
    }

    // Runs the event loop until the output after the mark holds the text; false after the time-out.
    bool waitForOutput(const QByteArray& text, qsizetype mark = 0, int timeoutMs = 5000) {
        return waitUntil([&] { return m_output.indexOf(text, mark) >= 0; }, timeoutMs);
    }

    // Runs the event loop until the condition holds; false after the time-out.
    template <typename Condition>
    bool waitUntil(Condition condition, int timeoutMs = 5000) {
        const QDeadlineTimer deadline(timeoutMs);
        while (!condition()) {
            if (deadline.hasExpired()) {
                return false;
            }
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            QThread::usleep(200);
        }
        return true;
    }

    // The exit status once the program has ended, within the time-out; -1 when it was killed by a
    // signal or is still running.
    int waitForExit(int timeoutMs = 5000) {
        waitUntil(
            [&] {
                readOutput();
                int status = 0;
                if (!m_exitCode && waitpid(m_pid, &status, WNOHANG) == m_pid) {
                    m_exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
                }
                return m_exitCode.has_value();
            },
            timeoutMs);
        return m_exitCode.value_or(-1);
    }

private:
    void readOutput() {
        char buffer[4096];
        ssize_t count = 0;
        while ((count = ::read(m_master, buffer, sizeof buffer)) > 0) {
            m_output.append(buffer, count);
        }
        if ((count == 0 || errno != EAGAIN) && m_notifier) {
            m_notifier->setEnabled(false);  // the program has closed the terminal
        }
    }

    pid_t m_pid = -1;
    int m_master = -1;
    std::unique_ptr<QSocketNotifier> m_notifier;
    QByteArray m_output;
    std::optional<int> m_exitCode;
};
