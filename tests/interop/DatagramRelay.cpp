#include "DatagramRelay.h"

#include <QNetworkDatagram>
#include <QUdpSocket>

DatagramRelay::DatagramRelay(quint16 serverPort, QObject* parent)
    : QObject(parent),
      m_serverPort(serverPort),
      m_clientSide(new QUdpSocket(this)),
      m_serverSide(new QUdpSocket(this)) {
    if (!m_clientSide->bind(QHostAddress::LocalHost, 0) || !m_serverSide->bind(QHostAddress::LocalHost, 0)) {
        m_clientSide->close();
    }
    connect(m_clientSide, &QUdpSocket::readyRead, this, &DatagramRelay::fromClient);
    connect(m_serverSide, &QUdpSocket::readyRead, this, &DatagramRelay::fromServer);
}

DatagramRelay::~DatagramRelay() = default;

quint16 DatagramRelay::port() const {
    return m_clientSide->state() == QAbstractSocket::BoundState ? m_clientSide->localPort() : 0;
}

void DatagramRelay::fromClient() {
    while (m_clientSide->hasPendingDatagrams()) {
        const QNetworkDatagram datagram = m_clientSide->receiveDatagram();
        m_clientAddress = datagram.senderAddress();
        m_clientPort = quint16(datagram.senderPort());
        m_requests.append(datagram.data());
        m_serverSide->writeDatagram(datagram.data(), QHostAddress::LocalHost, m_serverPort);
    }
}

void DatagramRelay::fromServer() {
    while (m_serverSide->hasPendingDatagrams()) {
        const QNetworkDatagram datagram = m_serverSide->receiveDatagram();
        if (m_clientPort != 0) {
            m_clientSide->writeDatagram(datagram.data(), m_clientAddress, m_clientPort);
        }
    }
}
