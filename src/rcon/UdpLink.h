#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class QObject;

namespace brimhold::rcon {

class DatagramQueue;

// The part of RconSocket that needs Qt Network: looking a host up, and the UDP socket itself, read on
// a thread of its own or on the owner's. RconSocket drives it from the owner's thread and keeps
// everything else (its state, the datagrams waiting to be sent, the slices it delivers).
//
// The interface uses Qt Core types only, so that the window program can load its implementation from
// a module on the first connection instead of linking Qt Network, which would cost every start.
class UdpLink {
public:
    enum class ReadOn {
        OwnThread,     // a thread of the link's own, started by the first connectTo()
        OwnersThread,  // the owner's thread: no thread to start, no hand-over per call
    };

    // Each runs on the owner's thread, from its event loop, and never after the owner is gone.
    struct Events {
        // The queue was empty and holds a datagram now.
        std::function<void()> datagramsWaiting;
        // A connection that did not complete at once has completed.
        std::function<void()> connected;
        // The end of lookUp(): the address found (empty when none) and the lookup's error text.
        std::function<void(const QString& address, const QString& error)> lookedUp;
    };

    struct Request {
        QObject* owner = nullptr;
        std::shared_ptr<DatagramQueue> queue;  // receives the datagrams read
        ReadOn readOn = ReadOn::OwnThread;
        Events events;
    };

    enum class State { Unconnected, Connecting, Connected };

    // What the socket is after connecting.
    struct Connection {
        State state = State::Unconnected;
        QString error;        // why it is not connected
        QString peerAddress;  // empty until connected
        quint16 localPort = 0;
        int receiveBufferSize = 0;  // bytes the system granted
    };

    UdpLink() = default;
    virtual ~UdpLink() = default;
    UdpLink(const UdpLink&) = delete;
    UdpLink& operator=(const UdpLink&) = delete;

    // The address that `host` spells, in its usual written form; nothing when it is not an address.
    virtual std::optional<QString> addressOf(const QString& host) const = 0;
    // Starts looking the host name up; the end comes through Events::lookedUp. An IPv4 address is
    // preferred, since game servers mostly listen on IPv4 only.
    virtual void lookUp(const QString& host) = 0;
    // Creates the socket, connects it to address:port (an address as addressOf() writes it) and asks
    // for a receive buffer of the given size.
    virtual Connection connectTo(const QString& address, quint16 port, int receiveBufferBytes) = 0;
    virtual Connection connection() = 0;
    // Sends one datagram; returns why it could not be sent, or nothing when it went out.
    virtual std::optional<QString> write(const QByteArray& datagram) = 0;
    // Ends a lookup under way and closes the socket; nothing is read afterwards.
    virtual void close() = 0;
    // Reads what the socket holds, later on its thread, after the queue stopped the reading.
    virtual void resumeReading() = 0;
};

struct MadeUdpLink {
    std::unique_ptr<UdpLink> link;  // null when it could not be made
    QString error;                  // why not
};

// Makes the link. A program links one of two definitions: the one in rcon_network makes it at once;
// the one in rcon_network_loader loads it from the network module first (once per process).
MadeUdpLink createUdpLink(UdpLink::Request request);

}  // namespace brimhold::rcon
