#include "console/Transcript.h"

namespace brimhold::console {

namespace {
constexpr char CR = '\r';
constexpr char LF = '\n';
const QByteArray CRLF("\r\n");
}  // namespace

Transcript::Appended Transcript::append(const QByteArray& bytes) {
    const char previous = m_text.isEmpty() ? '\0' : m_text.back();
    m_text.append(bytes);
    return {bytes, shownText(bytes, previous)};
}

Transcript::Trimmed Transcript::trim() {
    Trimmed trimmed;
    if (m_text.size() <= Limit) {
        return trimmed;
    }
    const qsizetype firstAllowedCr = m_text.size() - Limit - 1;  // 0-based index of position s
    const qsizetype cr = m_text.indexOf(CRLF, firstAllowedCr);
    if (cr < 0) {
        return trimmed;
    }
    const qsizetype cut = cr + CRLF.size();
    trimmed.removedChars = int(cut);
    trimmed.removedLineBreaks = int(QByteArrayView(m_text.constData(), cut).count(CRLF));
    m_text.remove(0, cut);
    return trimmed;
}

Transcript::Trimmed Transcript::appendLineAndTrim(const QByteArray& bytes, Appended* appended) {
    Appended added = append(bytes + CRLF);
    if (appended) {
        *appended = std::move(added);
    }
    return trim();
}

QByteArray Transcript::shownText(const QByteArray& bytes, char previous) {
    QByteArray shown;
    shown.reserve(bytes.size());
    for (const char c : bytes) {
        if (c == LF) {
            if (previous == CR) {
                shown.append(LF);
            }
        } else if (c != CR) {
            shown.append(c);
        }
        previous = c;
    }
    return shown;
}

}  // namespace brimhold::console
