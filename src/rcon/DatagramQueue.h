#pragma once

#include <QByteArray>
#include <QList>

#include <deque>
#include <mutex>

namespace brimhold::rcon {

// Datagrams handed from the thread that reads a socket to the thread that shows them, in order. Safe to
// use from any thread. The reader wakes the consumer only when push() reports that the queue was empty,
// and the consumer asks for another turn whenever take() reports that datagrams remain: so exactly one
// wake-up is outstanding while the queue holds anything.
class DatagramQueue final {
public:
    // Adds the datagram at the end. True when the queue was empty before, so the consumer must be woken.
    bool push(QByteArray datagram);

    // Takes up to maxCount datagrams from the front, oldest first. `more` tells whether any remain.
    QList<QByteArray> take(int maxCount, bool* more);

    void clear();

private:
    std::mutex m_mutex;
    std::deque<QByteArray> m_datagrams;
};

}  // namespace brimhold::rcon
