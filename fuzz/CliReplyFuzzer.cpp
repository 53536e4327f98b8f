// The command-line program's reading of server datagrams: arbitrary datagrams, arriving at growing
// times, go through the reply joining, the status parsing and the colour handling. Checked: the joined
// text is exactly the print pieces without their headers, in order; the reply never ends before the
// last piece's idle time, nor later than the time-out allows; a parsed status has no more players than
// lines; stripping the colour codes is rendering them with the terminal colours taken out again.
#include "rcon/RconProtocol.h"
#include "rcon/ReplyJoiner.h"
#include "rcon/StatusResponse.h"
#include "cli/ColorText.h"
#include "cli/Report.h"

#include "FuzzCheck.h"

#include <QByteArray>
#include <QRegularExpression>

#include <cstdint>
#include <fuzzer/FuzzedDataProvider.h>

using namespace brimhold::cli;
using namespace brimhold::rcon;

namespace {

constexpr qint64 kIdleMs = 250;
constexpr qint64 kTimeoutMs = 3000;

void CheckColours(const QByteArray& text) {
    FUZZ_CHECK(ColorText::apply(text, ColorText::Mode::Keep) == text);
    const QByteArray stripped = ColorText::apply(text, ColorText::Mode::Strip);
    FUZZ_CHECK(stripped.size() <= text.size());
    if (!text.contains('\x1b')) {
        QByteArray rendered = ColorText::apply(text, ColorText::Mode::Render);
        static const QRegularExpression kAnsiColour(QStringLiteral("\x1b\\[[0-9]+m"));
        const QString withoutColours = QString::fromLatin1(rendered).remove(kAnsiColour);
        FUZZ_CHECK(withoutColours.toLatin1() == stripped);
    }
}

void CheckStatus(const QByteArray& datagram) {
    const std::optional<StatusResponse> status = StatusResponse::parse(datagram);
    if (!status) {
        return;
    }
    FUZZ_CHECK(status->players.size() <= datagram.count('\n'));
    const QByteArray table = Report::statusText(*status, ColorText::Mode::Strip);
    FUZZ_CHECK(table.startsWith("hostname: "));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider provider(data, size);
    ReplyJoiner joiner(0, kIdleMs, kTimeoutMs);
    QByteArray expected;
    qint64 now = 0;
    qint64 lastPieceAt = -1;
    while (provider.remaining_bytes() > 0) {
        now += provider.ConsumeIntegralInRange<qint64>(0, 2000);
        const int header = provider.ConsumeIntegralInRange<int>(0, 2);  // none, ioquake3's, DarkPlaces'
        const std::string body = provider.ConsumeRandomLengthString(2048);
        QByteArray datagram = QByteArray::fromStdString(body);
        if (header == 1) {
            datagram.prepend(RconProtocol::kPrintHeader);
        } else if (header == 2) {
            datagram.prepend(RconProtocol::kDarkPlacesPrintHeader);
        }
        const bool added = joiner.add(datagram, now);
        const qsizetype headerSize = datagram.startsWith(RconProtocol::kPrintHeader)
                                         ? RconProtocol::kPrintHeader.size()
                                     : datagram.startsWith(RconProtocol::kDarkPlacesPrintHeader)
                                         ? RconProtocol::kDarkPlacesPrintHeader.size()
                                         : 0;
        FUZZ_CHECK(added == (headerSize > 0));
        if (added) {
            expected += datagram.mid(headerSize);
            lastPieceAt = now;
        }
        FUZZ_CHECK(joiner.text() == expected);
        if (lastPieceAt < 0) {
            FUZZ_CHECK(joiner.endsAt() == kTimeoutMs);
        } else {
            FUZZ_CHECK(joiner.endsAt() <= lastPieceAt + kIdleMs);
            FUZZ_CHECK(joiner.endsAt() <= kTimeoutMs + ReplyJoiner::kLongestAfterTimeoutMs);
            FUZZ_CHECK(joiner.endsAt() == lastPieceAt + kIdleMs ||
                       joiner.endsAt() == kTimeoutMs + ReplyJoiner::kLongestAfterTimeoutMs);
        }
        CheckStatus(datagram);
        CheckColours(datagram);
    }
    return 0;
}
