// The reply handling and the transcript: arbitrary datagrams, each possibly repeated so that the
// transcript passes its limit, go through the reply reading and into the transcript exactly as the
// console does, with a TranscriptMirror following it in an output box. Checked after every datagram:
// the transcript stays within its limit (never above the limit plus the last append), a trim removes
// whole lines from the start and nothing else, and the box shows what the transcript holds.
#include "codepage/Windows1252.h"
#include "rcon/RconProtocol.h"
#include "console/Transcript.h"
#include "console/TranscriptMirror.h"

#include "FuzzCheck.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextDocument>

#include <cstdint>
#include <cstdlib>
#include <fuzzer/FuzzedDataProvider.h>

using namespace brimhold::codepage;
using namespace brimhold::console;
using namespace brimhold::rcon;

namespace {

const QByteArray kCrLf("\r\n");

// The box's text with one '\n' between lines, every character as stored (toPlainText would turn
// non-breaking spaces into blanks).
QString ShownText(const QTextDocument& document) {
    QString text;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block != document.begin()) {
            text += QLatin1Char('\n');
        }
        text += block.text();
    }
    return text;
}

class Console {
public:
    Console() : m_mirror(&m_box) { m_box.setUndoRedoEnabled(false); }

    // What the console does with one datagram from the server.
    void Receive(const QByteArray& datagram) {
        const RconProtocol::Reply reply = RconProtocol::readReply(datagram, m_connected);
        const QByteArray converted = RconProtocol::convertLineFeeds(datagram);
        FUZZ_CHECK(converted.size() == datagram.size() + datagram.count('\n'));
        // DarkPlaces' header is its first five bytes, which hold no line feed; any other is eleven
        // characters after conversion.
        const bool darkPlaces = datagram.startsWith(RconProtocol::kDarkPlacesPrintHeader);
        const QByteArray text = converted.mid(darkPlaces ? RconProtocol::kDarkPlacesPrintHeader.size()
                                                         : RconProtocol::kHeaderLength);
        if (reply.answersProbe) {
            FUZZ_CHECK(!m_connected && text.startsWith("!!ping"));
            m_connected = true;
            return;
        }
        FUZZ_CHECK(reply.text == text);
        AppendOutput(reply.text);
    }

    void CheckShownText() const {
        FUZZ_CHECK(ShownText(*m_box.document()) ==
                   Windows1252::toUnicode(Transcript::shownText(m_transcript.text())));
    }

private:
    void AppendOutput(const QByteArray& text) {
        const qsizetype lengthBefore = m_transcript.length();
        const Transcript::Appended appended = m_transcript.append(text + kCrLf);
        FUZZ_CHECK(appended.bytes.size() == text.size() + 2 && appended.bytes.endsWith(kCrLf));
        FUZZ_CHECK(m_transcript.length() == lengthBefore + appended.bytes.size());
        FUZZ_CHECK(m_transcript.text().endsWith(appended.bytes));
        m_mirror.showAppended(appended);
        m_lineBreaks += appended.shown.count('\n');

        // A copy only when a cut is due: holding one makes the trim copy the whole text.
        const QByteArray untrimmed =
            m_transcript.length() > Transcript::kLimit ? m_transcript.text() : QByteArray();
        const Transcript::Trimmed trimmed = m_transcript.trim();
        m_mirror.showTrimmed(trimmed);
        CheckTrim(untrimmed, trimmed, appended.bytes.size());
        m_lineBreaks -= trimmed.removedLineBreaks;
        FUZZ_CHECK(m_box.document()->blockCount() == m_lineBreaks + 1);
    }

    void CheckTrim(const QByteArray& untrimmed, const Transcript::Trimmed& trimmed, qsizetype appended) {
        const QByteArray& text = m_transcript.text();
        FUZZ_CHECK(text.size() <= Transcript::kLimit + appended);
        // Every append ends in CR LF, so a cut is always possible and the text ends within the limit.
        FUZZ_CHECK(text.size() <= Transcript::kLimit);
        if (untrimmed.isEmpty()) {
            FUZZ_CHECK(!trimmed.changed());
            return;
        }
        FUZZ_CHECK(trimmed.changed() && trimmed.removedChars <= untrimmed.size());
        const QByteArrayView removed = QByteArrayView(untrimmed).first(trimmed.removedChars);
        FUZZ_CHECK(removed.endsWith(kCrLf) && QByteArrayView(untrimmed).sliced(trimmed.removedChars) == text);
        FUZZ_CHECK(trimmed.removedLineBreaks == removed.count(kCrLf));
        FUZZ_CHECK(text.size() < Transcript::kLimit);
        // Only the first CR LF at or after the cut-off position may end the cut.
        const qsizetype firstAllowedCr = untrimmed.size() - Transcript::kLimit - 1;
        FUZZ_CHECK(trimmed.removedChars - 2 >= firstAllowedCr &&
                   removed.indexOf(kCrLf, firstAllowedCr) == removed.size() - 2);
    }

    QPlainTextEdit m_box;
    TranscriptMirror m_mirror;
    Transcript m_transcript;
    bool m_connected = false;
    int m_lineBreaks = 0;
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    // Qt keeps argc by reference, and libFuzzer's own arguments are none of Qt's business.
    static int argc = 1;
    static char name[] = "reply_transcript_fuzzer";
    static char* argv[] = {name, nullptr};
    static QApplication* application = new QApplication(argc, argv);  // lives until the process ends
    (void)application;
    // Qt loads fonts (and fontconfig its caches, kept to the end) on first use: do that here, so the
    // leak check of the first input does not take them for a leak of that input.
    Console warmUp;
    warmUp.Receive("\xFF\xFF\xFF\xFFprint\nwarm-up\n");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Enough traffic to fill the transcript twice over, and no more, so each input stays quick.
    constexpr qsizetype kMostBytesReceived = 2 * Transcript::kLimit;
    FuzzedDataProvider input(data, size);
    Console console;
    qsizetype received = 0;
    while (input.remaining_bytes() > 0 && received < kMostBytesReceived) {
        const int repeats = input.ConsumeIntegralInRange<int>(1, 200);
        const std::string bytes = input.ConsumeRandomLengthString(1500);
        const QByteArray datagram(bytes.data(), qsizetype(bytes.size()));
        FUZZ_CHECK(Windows1252::fromUnicode(Windows1252::toUnicode(datagram)) == datagram);
        for (int i = 0; i < repeats && received < kMostBytesReceived; ++i) {
            console.Receive(datagram);
            received += datagram.size() + 1;
        }
    }
    console.CheckShownText();
    return 0;
}
