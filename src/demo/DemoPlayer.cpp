#include "demo/DemoPlayer.h"

namespace brimhold::demo {

QByteArray DemoPlayer::withoutColours(const QByteArray& text) {
    QByteArray plain;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '^' && i + 1 < text.size()) {
            ++i;
        } else {
            plain.append(text[i]);
        }
    }
    return plain;
}

}  // namespace brimhold::demo
