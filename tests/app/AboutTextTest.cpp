#include "app/AboutText.h"

#include <QRegularExpression>
#include <QStringList>
#include <gtest/gtest.h>

using namespace brimhold::app;

namespace {

TEST(AboutText, ElevenLinesJoinedByCrLfWithoutATrailingBreak) {
    const QString expected = QStringLiteral(
        "Brimhold - Remote Console\r\n"
        "Versie: 0.09 rev. #0004\r\n"
        "\r\n"
        "Gemaakt door:\r\n"
        "Lead \"lead\" Developer <lead@brimhold.invalid>\r\n"
        "Console \"console\" Developer <console@brimhold.invalid>\r\n"
        "\r\n"
        "Getest door:\r\n"
        "Quality \"qa\" Tester <qa@brimhold.invalid>\r\n"
        "\r\n"
        "Meer informatie vindt u op https://brimhold.invalid/rcon");
    EXPECT_EQ(AboutText::build(QStringLiteral("0.09 rev. #0004")).toStdString(), expected.toStdString());
}

TEST(AboutText, VersionLineRepeatsTheLabelAsItIs) {
    const QStringList lines =
        AboutText::build(QStringLiteral("#.## rev. ####")).split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 11);
    EXPECT_EQ(lines[1].toStdString(), "Versie: #.## rev. ####");
}

TEST(AboutText, CreditLinesHaveFirstNameNicknameSurnameAndAddress) {
    const QStringList lines = AboutText::build(QString()).split(QStringLiteral("\r\n"));
    const QRegularExpression credit(QStringLiteral("^\\S+ \"[^\"]+\" \\S+ <[^<>@ ]+@[^<>@ ]+>$"));
    for (int index : {4, 5, 8}) {
        EXPECT_TRUE(credit.match(lines[index]).hasMatch()) << lines[index].toStdString();
    }
}

}  // namespace
