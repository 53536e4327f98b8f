#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace brimhold::rcon {

// Joins the reply to one rcon request. The server prints a long reply as several datagrams, each
// starting with its own header (four 0xFF bytes, "print" and a line feed; from DarkPlaces four 0xFF bytes
// and "n"); the pieces are joined in the order they arrive, headers stripped. Nothing marks a reply's
// end, so it ends when no piece has come for the idle time after the last one, or, when none comes at
// all, at the time-out. A server that never stops sending is cut off by time and by size.
class ReplyJoiner final {
public:
    // However the server keeps sending, a reply ends this long after the time-out.
    static constexpr qint64 kLongestAfterTimeoutMs = 60000;
    // However much the server sends, a reply ends once it holds this many bytes; no real listing comes
    // near it, and it keeps a flood from taking the memory.
    static constexpr qsizetype kLongestTextBytes = 16 * 1024 * 1024;

    ReplyJoiner(qint64 sentAtMs, qint64 idleMs, qint64 timeoutMs);

    // Takes one datagram from the server. A print piece is added and true returned; anything else (an
    // answer to another query), and any piece once the reply is full, is left out.
    bool add(const QByteArray& datagram, qint64 nowMs);

    // When the reply ends unless another piece comes first.
    qint64 endsAt() const;
    bool hasPieces() const { return m_pieces > 0; }
    int pieces() const { return m_pieces; }
    // Whether the reply ended, or ends, by one of the two limits rather than by the server falling
    // silent: what the server sent after it is missing.
    bool isCut() const;
    // The joined text, as the server's bytes.
    const QByteArray& text() const { return m_text; }

private:
    bool isFull() const { return m_text.size() >= kLongestTextBytes; }
    qint64 longestEnd() const { return m_sentAtMs + m_timeoutMs + kLongestAfterTimeoutMs; }

    qint64 m_sentAtMs;
    qint64 m_idleMs;
    qint64 m_timeoutMs;
    qint64 m_lastPieceAtMs = 0;
    int m_pieces = 0;
    QByteArray m_text;
};

}  // namespace brimhold::rcon
