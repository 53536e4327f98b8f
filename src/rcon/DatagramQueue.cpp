#include "rcon/DatagramQueue.h"

namespace brimhold::rcon {

DatagramQueue::DatagramQueue(qsizetype capBytes) : m_capBytes(capBytes) {}

DatagramQueue::Pushed DatagramQueue::push(QByteArray datagram) {
    const std::lock_guard<std::mutex> lock(m_mutex);
    Pushed result;
    result.wakeConsumer = m_datagrams.empty();
    m_bytes += datagram.size();
    m_datagrams.push_back(std::move(datagram));
    m_readerStopped = m_bytes >= m_capBytes;
    result.full = m_readerStopped;
    return result;
}

DatagramQueue::Taken DatagramQueue::take(int maxCount) {
    const std::lock_guard<std::mutex> lock(m_mutex);
    const auto count = std::min<std::size_t>(std::size_t(std::max(maxCount, 0)), m_datagrams.size());
    Taken result;
    result.datagrams.reserve(qsizetype(count));
    for (std::size_t i = 0; i < count; ++i) {
        m_bytes -= m_datagrams.front().size();
        result.datagrams.append(std::move(m_datagrams.front()));
        m_datagrams.pop_front();
    }
    result.more = !m_datagrams.empty();
    if (m_readerStopped && m_bytes < m_capBytes) {
        m_readerStopped = false;
        result.resumeReader = true;
    }
    return result;
}

bool DatagramQueue::isFull() {
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_readerStopped;
}

void DatagramQueue::clear() {
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_datagrams.clear();
    m_bytes = 0;
    m_readerStopped = false;
}

}  // namespace brimhold::rcon
