#pragma once

#include <QByteArray>
#include <QString>

class QIODevice;

namespace brimhold::cli {

// Standard output and standard error of brimhold-rcon-cli, every write checked. The first write that
// fails is remembered and nothing is written after it: a reader that has closed its end of a pipe (as
// "| head -1" does) wants nothing more, and a stream that cannot be written (a full disk) would not
// take the rest either.
class StandardStreams final {
public:
    // The name that begins every line the program writes about itself.
    static constexpr char kProgramName[] = "brimhold-rcon-cli";

    enum class Failure {
        None,
        ClosedPipe,  // the reader of the pipe has gone: the program ends quietly
        Error,       // any other failed write
    };

    // "*output" and "*errors" must remain live while this object is in use.
    StandardStreams(QIODevice& output, QIODevice& errors);

    // Each is false when this write or an earlier one failed.
    bool print(const QByteArray& bytes);
    bool tell(const QByteArray& bytes);
    // One line on standard error: complaintLine(message) in the locale's encoding.
    bool complain(const QString& message);
    // The program's name, ": ", the message and a line end.
    static QString complaintLine(const QString& message);

    Failure failure() const { return m_failure; }
    // After an Error on standard output, says so in one line on standard error, once however often it
    // is called. Nothing is said after a closed pipe, nor when standard error itself failed.
    void reportFailure();

private:
    bool write(QIODevice& stream, const QByteArray& bytes);

    QIODevice& m_output;
    QIODevice& m_errors;
    Failure m_failure = Failure::None;
    QIODevice* m_failedStream = nullptr;
    QString m_failureReason;
    bool m_failureReported = false;
};

}  // namespace brimhold::cli
