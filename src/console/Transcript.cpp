#include "console/Transcript.h"

namespace brimhold::console {

namespace {
constexpr char kCr = '\r';
constexpr char kLf = '\n';
const QByteArray kCrlf("\r\n");
}  // namespace

Transcript::Appended Transcript::append(const QByteArray& bytes) {
    const char previous = m_text.isEmpty() ? '\0' : m_text.back();
    m_text.append(bytes);
    return {bytes, shownText(bytes, previous)};
}

Transcript::Trimmed Transcript::trim() {
    Trimmed trimmed;
    if (m_text.size() <= kLimit) {
        return trimmed;
    }
    const qsizetype firstAllowedCr = m_text.size() - kLimit - 1;  // 0-based index of position s
    const qsizetype cr = m_text.indexOf(kCrlf, firstAllowedCr);
    if (cr < 0) {
        return trimmed;
    }
    const qsizetype cut = cr + kCrlf.size();
    trimmed.removedChars = int(cut);
    trimmed.removedLineBreaks = int(QByteArrayView(m_text.constData(), cut).count(kCrlf));
    m_text.remove(0, cut);
    return trimmed;
}

Transcript::Trimmed Transcript::appendLineAndTrim(const QByteArray& bytes, Appended* appended) {
    Appended added = append(bytes + kCrlf);
    if (appended) {
        *appended = std::move(added);
    }
    return trim();
}

QByteArray Transcript::shownText(const QByteArray& bytes, char previous) {
    QByteArray shown;
    shown.reserve(bytes.size());
    for (const char c : bytes) {
        if (c == kLf) {
            if (previous == kCr) {
                shown.append(kLf);
            }
        } else if (c != kCr) {
            shown.append(c);
        }
        previous = c;
    }
    return shown;
}

}  // namespace brimhold::console
