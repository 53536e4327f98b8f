#pragma once

// A program run on an 80 x 24 pseudo-terminal of its own, as at a user's terminal: keys are written to
// it, what it prints is gathered. Every wait runs the event loop (so that servers in the same process
// answer) and is bounded in time.

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
    // Starts the program with these variables added to its environment.
    PseudoTerminal(const QString& program, const QStringList& arguments,
                   const QList<QPair<QByteArray, QByteArray>>& environment) {
        std::vector<std::string> words{program.toStdString()};
        for (const QString& argument : arguments) {
            words.push_back(argument.toStdString());
        }
        std::vector<char*> argv;
        for (std::string& word : words) {
            argv.push_back(word.data());
        }
        argv.push_back(nullptr);
        winsize size{};
        size.ws_row = 24;
        size.ws_col = 80;
        m_pid = forkpty(&m_master, nullptr, nullptr, &size);
        if (m_pid == 0) {
            for (const auto& [name, value] : environment) {
                setenv(name.constData(), value.constData(), 1);
            }
            execv(argv[0], argv.data());
            _exit(127);
        }
        fcntl(m_master, F_SETFL, fcntl(m_master, F_GETFL) | O_NONBLOCK);
        m_notifier = std::make_unique<QSocketNotifier>(m_master, QSocketNotifier::Read);
        QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [this] { readOutput(); });
    }

    ~PseudoTerminal() {
        m_notifier.reset();
        if (m_pid > 0 && !m_exitCode) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
        close(m_master);
    }

    Q_DISABLE_COPY_MOVE(PseudoTerminal)

    pid_t pid() const { return m_pid; }
    // Everything printed so far, as the terminal passed it on (line ends as CR LF); a mark is a place
    // in it.
    const QByteArray& output() const { return m_output; }
    qsizetype mark() const { return m_output.size(); }

    void type(const QByteArray& keys) {
        [[maybe_unused]] const ssize_t written = ::write(m_master, keys.constData(), size_t(keys.size()));
    }

    // Whether the output after the mark comes to hold the text within the time-out.
    bool waitForOutput(const QByteArray& text, qsizetype mark = 0, int timeoutMs = 5000) {
        return waitUntil([&] { return m_output.indexOf(text, mark) >= 0; }, timeoutMs);
    }

    template <typename Condition>
    bool waitUntil(Condition condition, int timeoutMs = 5000) {
        const QDeadlineTimer deadline(timeoutMs);
        while (!condition() && !deadline.hasExpired()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            QThread::usleep(200);
        }
        return condition();
    }

    // The exit status once the program has ended within the time-out; -1 otherwise or after a signal.
    int waitForExit(int timeoutMs = 5000) {
        waitUntil(
            [&] {
                int status = 0;
                if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
                    m_exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
                }
                return m_exitCode.has_value();
            },
            timeoutMs);
        readOutput();
        return m_exitCode.value_or(-1);
    }

private:
    void readOutput() {
        char buffer[4096];
        ssize_t count = 0;
        while ((count = ::read(m_master, buffer, sizeof buffer)) > 0) {
            m_output.append(buffer, count);
        }
        if (count == 0 || errno != EAGAIN) {
            m_notifier->setEnabled(false);  // the program has closed the terminal
        }
    }

    pid_t m_pid = -1;
    int m_master = -1;
    std::unique_ptr<QSocketNotifier> m_notifier;
    QByteArray m_output;
    std::optional<int> m_exitCode;
};
