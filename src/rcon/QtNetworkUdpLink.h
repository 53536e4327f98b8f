#pragma once

#include "rcon/UdpLink.h"

class QThread;

namespace brimhold::rcon {

class UdpWorker;

// The link on Qt Network: QHostInfo for lookups, a UdpWorker for the socket. On its own thread the
// worker is reached by blocking hand-overs: a send or close waits until the worker's thread has
// carried it out, and the worker never waits for the owner's thread, so this cannot deadlock.
class QtNetworkUdpLink final : public UdpLink {
public:
    explicit QtNetworkUdpLink(Request request);
    ~QtNetworkUdpLink() override;

    std::optional<QString> addressOf(const QString& host) const override;
    void lookUp(const QString& host) override;
    Connection connectTo(const QString& address, quint16 port, int receiveBufferBytes) override;
    Connection connection() override;
    std::optional<QString> write(const QByteArray& datagram) override;
    void close() override;
    void resumeReading() override;

private:
    template <typename Function>
    void onWorkerThread(Function function);
    void abortLookUp();
    void stopWorker();

    QObject* m_owner;
    QThread* m_thread = nullptr;  // null when read on the owner's thread
    UdpWorker* m_worker;
    std::function<void(const QString& address, const QString& error)> m_lookedUp;
    int m_lookupId = -1;
};

}  // namespace brimhold::rcon
