#include "rcon/DatagramQueue.h"

namespace brimhold::rcon {

bool DatagramQueue::push(QByteArray datagram) {
    const std::lock_guard<std::mutex> lock(m_mutex);
    const bool wasEmpty = m_datagrams.empty();
    m_datagrams.push_back(std::move(datagram));
    return wasEmpty;
}

QList<QByteArray> DatagramQueue::take(int maxCount, bool* more) {
    const std::lock_guard<std::mutex> lock(m_mutex);
    const auto count = std::min<std::size_t>(std::size_t(std::max(maxCount, 0)), m_datagrams.size());
    QList<QByteArray> taken;
    taken.reserve(qsizetype(count));
    for (std::size_t i = 0; i < count; ++i) {
        taken.append(std::move(m_datagrams.front()));
        m_datagrams.pop_front();
    }
    *more = !m_datagrams.empty();
    return taken;
}

void DatagramQueue::clear() {
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_datagrams.clear();
}

}  // namespace brimhold::rcon
