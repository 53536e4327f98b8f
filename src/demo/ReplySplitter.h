#pragma once

#include <QByteArray>
#include <QList>

namespace brimhold::demo {

// Cuts a reply text into datagrams the way a Quake-3-engine server sends a long rcon reply: every
// datagram starts with the reply header (0xFF x4, "print\n") and holds at most kMaxDatagramBytes bytes
// with it; a datagram is sent whenever the buffer is full, often in the middle of a line.
class ReplySplitter final {
public:
    ReplySplitter() = delete;

    static constexpr qsizetype kMaxDatagramBytes = 1017;

    // At least one datagram: an empty text gives the header alone. maxDatagramBytes must exceed the
    // header's size.
    static QList<QByteArray> split(const QByteArray& text, qsizetype maxDatagramBytes = kMaxDatagramBytes);
};

}  // namespace brimhold::demo
