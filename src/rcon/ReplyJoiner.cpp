#include "rcon/ReplyJoiner.h"

#include "rcon/RconProtocol.h"

namespace brimhold::rcon {

ReplyJoiner::ReplyJoiner(qint64 sentAtMs, qint64 idleMs, qint64 timeoutMs)
    : m_sentAtMs(sentAtMs), m_idleMs(idleMs), m_timeoutMs(timeoutMs) {}

bool ReplyJoiner::add(const QByteArray& datagram, qint64 nowMs) {
    if (!datagram.startsWith(RconProtocol::kPrintHeader)) {
        return false;
    }
    m_text.append(datagram.constData() + RconProtocol::kPrintHeader.size(),
                  datagram.size() - RconProtocol::kPrintHeader.size());
    m_lastPieceAtMs = nowMs;
    ++m_pieces;
    return true;
}

qint64 ReplyJoiner::endsAt() const {
    const qint64 timeout = m_sentAtMs + m_timeoutMs;
    if (!hasPieces()) {
        return timeout;
    }
    return qMin(m_lastPieceAtMs + m_idleMs, timeout + kLongestAfterTimeoutMs);
}

}  // namespace brimhold::rcon
