#include "codepage/Windows1252.h"

#include <gtest/gtest.h>

using namespace brimhold::codepage;

TEST(Windows1252, EveryByteSurvivesARoundTripThroughText) {
    QByteArray all;
    for (int byte = 0; byte < 256; ++byte) {
        all.append(static_cast<char>(byte));
    }
    const QString text = Windows1252::toUnicode(all);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(Windows1252::fromUnicode(text), all);
}

TEST(Windows1252, MapsTheHighBlockAndLatin1AsWindowsDoes) {
    EXPECT_EQ(Windows1252::toUnicode(QByteArray("\x80\x89\xA7\xFF", 4)),
              QString::fromUtf8("\u20AC\u2030\u00A7\u00FF"));
    EXPECT_EQ(Windows1252::fromUnicode(QString::fromUtf8("\u20AC\u2030\u00A7\u00FF")),
              QByteArray("\x80\x89\xA7\xFF", 4));
    // The store's scrambling key as typed text.
    EXPECT_EQ(Windows1252::toStdString(QString::fromUtf8("&Q#\u00A7k\u00FFrV\u2030")),
              std::string("\x26\x51\x23\xA7\x6B\xFF\x72\x56\x89"));
}

TEST(Windows1252, CharactersOutsideTheCodePageBecomeQuestionMarks) {
    EXPECT_EQ(Windows1252::fromUnicode(QString::fromUtf8("a\u4E2Db\u0100")), QByteArray("a?b?"));
    EXPECT_EQ(Windows1252::fromUnicode(QString::fromUtf8("x\U0001F600y")), QByteArray("x?y"));
    EXPECT_EQ(Windows1252::fromUnicode(QString()), QByteArray());
}
