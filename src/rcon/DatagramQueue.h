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
//
// The queue holds a bounded number of bytes. A push that brings it to the cap or over it stops the
// reader: it reads nothing more (the socket's buffer fills and the system drops what does not fit) until
// a take() brings the queue below the cap again and tells the consumer to resume the reader. What was
// pushed is never dropped, so the queue holds at most the cap plus one datagram.
class DatagramQueue final {
public:
    // The datagram bytes (payload only) a queue holds at most unless set otherwise.
    static constexpr qsizetype kDefaultCapBytes = 8 * 1024 * 1024;

    struct Pushed {
        bool wakeConsumer = false;  // the queue was empty before
        bool full = false;          // the reader must stop reading
    };

    struct Taken {
        QList<QByteArray> datagrams;  // oldest first
        bool more = false;            // datagrams remain: the consumer takes another turn
        bool resumeReader = false;    // the reader was stopped and must read again now
    };

    explicit DatagramQueue(qsizetype capBytes = kDefaultCapBytes);

    // Adds the datagram at the end.
    Pushed push(QByteArray datagram);

    // Takes up to maxCount datagrams from the front.
    Taken take(int maxCount);

    // True from the push that reached the cap until the take that brings the queue below it.
    bool isFull();

    // Drops everything queued; the reader is no longer stopped.
    void clear();

private:
    const qsizetype m_capBytes;
    std::mutex m_mutex;
    std::deque<QByteArray> m_datagrams;
    qsizetype m_bytes = 0;
    bool m_readerStopped = false;
};

}  // namespace brimhold::rcon
