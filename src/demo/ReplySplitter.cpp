#include "demo/ReplySplitter.h"

#include "rcon/RconProtocol.h"

namespace brimhold::demo {

QList<QByteArray> ReplySplitter::split(const QByteArray& text, qsizetype maxDatagramBytes) {
    const QByteArray& head = rcon::RconProtocol::kPrintHeader;
    const qsizetype piece = qMax<qsizetype>(1, maxDatagramBytes - head.size());
    QList<QByteArray> datagrams;
    qsizetype offset = 0;
    do {
        datagrams.append(head + text.mid(offset, piece));
        offset += piece;
    } while (offset < text.size());
    return datagrams;
}

}  // namespace brimhold::demo
