// The yardstick of cli_echo_bench: an empty Qt Core program that sends one rcon datagram and exits,
// through a connected UDP socket as brimhold-rcon-cli does (an unconnected one would first look up the
// system's proxy settings, which costs a thread). Usage: bare_datagram_program PORT (to 127.0.0.1).

#include <QCoreApplication>
#include <QHostAddress>
#include <QUdpSocket>

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    const quint16 port = argc == 2 ? quint16(QByteArray(argv[1]).toUInt()) : 0;
    QUdpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    const QByteArray datagram("\xff\xff\xff\xffrcon secret echo hi\n", 24);
    return socket.write(datagram) == datagram.size() ? 0 : 1;
}
