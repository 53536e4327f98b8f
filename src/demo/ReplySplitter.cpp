#include "demo/ReplySplitter.h"

namespace brimhold::demo {

QByteArray ReplySplitter::header() {
    return QByteArray(4, '\xFF') + "print\n";
}

QList<QByteArray> ReplySplitter::split(const QByteArray& text, qsizetype maxDatagramBytes) {
    const QByteArray head = header();
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
