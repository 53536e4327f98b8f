#include "rcon/DatagramQueue.h"
#include "rcon/UdpWorker.h"

#include <QTest>
#include <QUdpSocket>

#include <memory>

using namespace brimhold::rcon;

namespace {
QByteArray numbered(int index, int size) {
    return QByteArray::number(index).leftJustified(size, 'x');
}
}  // namespace

// The worker runs on the test's thread; the test takes the part of the thread that shows the datagrams.
class UdpWorkerTest : public QObject {
    Q_OBJECT

private slots:
    void aFullQueueStopsTheReadingUntilItHasRoomAgain();
};

void UdpWorkerTest::aFullQueueStopsTheReadingUntilItHasRoomAgain() {
    constexpr int kSize = 1000;
    constexpr int kCount = 15;
    const auto queue = std::make_shared<DatagramQueue>(10 * kSize);
    UdpWorker worker(queue);
    QUdpSocket peer;
    QVERIFY(peer.bind(QHostAddress::LocalHost, 0));
    const UdpWorker::Connection connection =
        worker.connectTo(QHostAddress::LocalHost, peer.localPort(), 1 << 20);
    QCOMPARE(connection.state, QAbstractSocket::ConnectedState);
    for (int i = 0; i < kCount; ++i) {
        QCOMPARE(peer.writeDatagram(numbered(i, kSize), QHostAddress::LocalHost, connection.localPort),
                 kSize);
    }

    QList<QByteArray> received;
    const auto take = [&](int maxCount) {
        DatagramQueue::Taken taken = queue->take(maxCount);
        received.append(taken.datagrams);
        return taken.resumeReader;
    };
    QTRY_VERIFY(queue->isFull());
    QTest::qWait(50);  // the socket holds five more; none of them may be read now
    QVERIFY(take(1));  // one below the cap is room enough
    QCOMPARE(received.size(), 1);
    worker.resumeReading();  // the datagrams already waiting are read, without a new one arriving
    QVERIFY(queue->isFull());
    QVERIFY(take(100));
    QCOMPARE(received.size(), 11);
    worker.resumeReading();
    QVERIFY(!take(100));  // the socket ran dry before the queue filled
    QCOMPARE(received.size(), kCount);
    for (int i = 0; i < kCount; ++i) {
        QCOMPARE(received[i], numbered(i, kSize));
    }
}

QTEST_GUILESS_MAIN(UdpWorkerTest)
#include "UdpWorkerTest.moc"
