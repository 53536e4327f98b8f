#include "cli/StandardStreams.h"

#include <QIODevice>

#include <cerrno>

namespace brimhold::cli {

StandardStreams::StandardStreams(QIODevice& output, QIODevice& errors) : m_output(output), m_errors(errors) {}

bool StandardStreams::print(const QByteArray& bytes) {
    return write(m_output, bytes);
}

bool StandardStreams::tell(const QByteArray& bytes) {
    return write(m_errors, bytes);
}

QString StandardStreams::complaintLine(const QString& message) {
    return QString::fromLatin1(kProgramName) + QStringLiteral(": ") + message + QLatin1Char('\n');
}

bool StandardStreams::complain(const QString& message) {
    return tell(complaintLine(message).toLocal8Bit());
}

bool StandardStreams::write(QIODevice& stream, const QByteArray& bytes) {
    if (m_failure != Failure::None) {
        return false;
    }
    // QFile leaves the system call's error number behind; it is the only way to tell a pipe whose
    // reader has gone (EPIPE, with SIGPIPE ignored) from a device that refuses the bytes.
    errno = 0;
    if (stream.write(bytes) == bytes.size()) {
        return true;
    }
    m_failure = errno == EPIPE ? Failure::ClosedPipe : Failure::Error;
    m_failedStream = &stream;
    m_failureReason = stream.errorString();
    return false;
}

void StandardStreams::reportFailure() {
    if (m_failure != Failure::Error || m_failedStream != &m_output || m_failureReported) {
        return;
    }
    m_failureReported = true;
    const QByteArray line =
        complaintLine(QStringLiteral("cannot write to standard output: ") + m_failureReason + '.')
            .toLocal8Bit();
    m_errors.write(line);  // if this fails too, there is nowhere left to say so; the exit status does
}

}  // namespace brimhold::cli
