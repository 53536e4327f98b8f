#include "rcon/ReplyJoiner.h"

#include "rcon/RconProtocol.h"

namespace brimhold::rcon {

ReplyJoiner::ReplyJoiner(qint64 sentAtMs, qint64 idleMs, qint64 timeoutMs)
    : m_sentAtMs(sentAtMs), m_idleMs(idleMs), m_timeoutMs(timeoutMs) {}

bool ReplyJoiner::add(const QByteArray& datagram, qint64 nowMs) {
    const std::optional<QByteArray> text = RconProtocol::printedText(datagram);
    if (!text || isFull()) {
        return false;
    }
    m_text.append(text->left(kLongestTextBytes - m_text.size()));
    m_lastPieceAtMs = nowMs;
    ++m_pieces;
    return true;
}

qint64 ReplyJoiner::endsAt() const {
    const qint64 timeout = m_sentAtMs + m_timeoutMs;
    if (!hasPieces()) {
        return timeout;
    }
    if (isFull()) {
        return m_lastPieceAtMs;
    }
    return qMin(m_lastPieceAtMs + m_idleMs, longestEnd());
}

bool ReplyJoiner::isCut() const {
    return isFull() || (hasPieces() && m_lastPieceAtMs + m_idleMs > longestEnd());
}

}  // namespace brimhold::rcon
