#pragma once

namespace brimhold::cli {

// How one server's run ended, from best to worst.
enum class Outcome {
    Ok,           // every reply came
    BadPassword,  // the server refused the password (or has none set)
    NoReply,      // nothing came back in time
    Error,        // host not found, bad port, or the datagram could not be sent
};

// The program's exit status.
class ExitStatus final {
public:
    ExitStatus() = delete;

    static constexpr int kOk = 0;
    static constexpr int kDeclined = 1;  // the user said no to the question; nothing was sent
    static constexpr int kBadPassword = 2;
    static constexpr int kNoReply = 3;
    // Also when standard output or standard error could not be written.
    static constexpr int kError = 4;
    static constexpr int kUsage = 64;
    // Standard output or standard error is a pipe whose reader has gone: the number a shell shows for
    // a program that the broken pipe's signal ended (128 + SIGPIPE), as it does for grep.
    static constexpr int kOutputClosed = 141;

    static int of(Outcome outcome);
    // Error beats no reply beats bad password beats ok.
    static Outcome worse(Outcome a, Outcome b);
    // "ok", "bad-password", "no-reply", "error".
    static const char* nameOf(Outcome outcome);
};

}  // namespace brimhold::cli
