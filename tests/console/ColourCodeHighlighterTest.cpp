#include "console/ColourCodeHighlighter.h"
#include "console/GameColours.h"

#include <QGuiApplication>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include <memory>

using namespace brimhold::console;

// The output box's colour view on a small text: what is coloured, what is hidden, and that the text
// stays as it was.
class ColourCodeHighlighterTest : public QObject {
    Q_OBJECT

private slots:
    void codesAreHiddenAndTheTextAfterThemColoured();
    void whiteOnLightAndBlackOnDarkBecomeTheTextColour();
};

namespace {

QPalette paletteWith(QColor base, QColor text) {
    QPalette palette;
    palette.setColor(QPalette::Base, base);
    palette.setColor(QPalette::Text, text);
    return palette;
}

// The block's ranges as "start+length:colour", "hidden" for a transparent one.
QStringList rangesOf(const QTextBlock& block) {
    QStringList ranges;
    for (const QTextLayout::FormatRange& range : block.layout()->formats()) {
        const QColor colour = range.format.foreground().color();
        ranges.append(QStringLiteral("%1+%2:%3")
                          .arg(range.start)
                          .arg(range.length)
                          .arg(colour.alpha() == 0 ? QStringLiteral("hidden") : colour.name()));
    }
    return ranges;
}

}  // namespace

void ColourCodeHighlighterTest::codesAreHiddenAndTheTextAfterThemColoured() {
    const QString text = QStringLiteral("^1Red^7Baron ^^5x\nno codes ^ here");
    QTextDocument document(text);
    auto highlighter = std::make_unique<ColourCodeHighlighter>(
        &document, GameColours(paletteWith(Qt::white, QColor(0x112233))));
    QCoreApplication::processEvents();  // the highlighter draws a filled document on the next turn
    QCOMPARE(rangesOf(document.firstBlock()), QStringList({"0+2:hidden", "2+3:#ff0000", "5+2:hidden",
                                                           "7+6:#112233", "13+1:hidden", "14+3:#112233"}));
    QVERIFY(rangesOf(document.lastBlock()).isEmpty());
    QVERIFY(document.firstBlock().layout()->formats().first().format.fontLetterSpacing() < 0);

    highlighter.reset();
    QVERIFY(rangesOf(document.firstBlock()).isEmpty());
    QCOMPARE(document.toPlainText(), text);
}

void ColourCodeHighlighterTest::whiteOnLightAndBlackOnDarkBecomeTheTextColour() {
    const GameColours light(paletteWith(Qt::white, Qt::darkBlue));
    QCOMPARE(light.colour(7), QColor(Qt::darkBlue));
    QCOMPARE(light.colour(0), QColor(Qt::black));
    QCOMPARE(light.colour(-1), QColor(Qt::darkBlue));
    const GameColours dark(paletteWith(Qt::black, Qt::lightGray));
    QCOMPARE(dark.colour(0), QColor(Qt::lightGray));
    QCOMPARE(dark.colour(7), QColor(Qt::white));
    QCOMPARE(dark.colour(1), QColor(Qt::red));
}

QTEST_MAIN(ColourCodeHighlighterTest)

#include "ColourCodeHighlighterTest.moc"
