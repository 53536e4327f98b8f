#include "rcon/RconProtocol.h"

#include <gtest/gtest.h>

using namespace brimhold::rcon;

namespace {
const QByteArray kMarker(4, '\xFF');
const QByteArray kHeader = kMarker + "print\n";  // 11 characters once its line feed is CR LF

TEST(RconProtocolRequest, FramesPasswordAndCommandBetweenMarkerAndZeroByte) {
    EXPECT_EQ(RconProtocol::request("secret", "echo !!ping"),
              kMarker + QByteArray("rcon secret echo !!ping\n\0", 25));
}

TEST(RconProtocolRequest, EmptyPasswordLeavesTwoBlanksInARow) {
    EXPECT_EQ(RconProtocol::request("", "status"), kMarker + QByteArray("rcon  status\n\0", 14));
}

TEST(RconProtocolRequest, LengthIsTwelvePlusPasswordPlusCommandAndEndsWithLineFeedAndZero) {
    const QByteArray datagram = RconProtocol::request("abcd", "status");
    ASSERT_EQ(datagram.size(), 22);
    EXPECT_EQ(datagram.right(2), QByteArray("\n\0", 2));
}

TEST(RconProtocolRequest, CommandIsSentUntouched) {
    const QByteArray command(" say \"hi\"\t\xE9 ");
    EXPECT_EQ(RconProtocol::request("p", command).mid(11, command.size()), command);
}

TEST(RconProtocolLineFeeds, EveryLineFeedBecomesCrLfAndCrLfBecomesCrCrLf) {
    EXPECT_EQ(RconProtocol::convertLineFeeds("a\nb\r\nc\n\n"), QByteArray("a\r\nb\r\r\nc\r\n\r\n"));
    EXPECT_EQ(RconProtocol::convertLineFeeds(""), QByteArray());
}

struct ReplyCase {
    const char* name;
    QByteArray datagram;
    bool connected;
    bool answersProbe;
    QByteArray text;
};

// Names the case in test listings and failure messages instead of dumping its bytes.
void PrintTo(const ReplyCase& c, std::ostream* out) {
    *out << c.name;
}

class RconProtocolReply : public testing::TestWithParam<ReplyCase> {};

TEST_P(RconProtocolReply, DropsElevenCharactersAfterConversionAndSpotsTheProbeAnswer) {
    const ReplyCase& c = GetParam();
    const RconProtocol::Reply reply = RconProtocol::readReply(c.datagram, c.connected);
    EXPECT_EQ(reply.answersProbe, c.answersProbe);
    EXPECT_EQ(reply.text, c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RconProtocolReply,
    testing::Values(
        ReplyCase{"PlainReply", kHeader + "map is mp_dawnville\n", false, false, "map is mp_dawnville\r\n"},
        ReplyCase{"HeaderNeverInspected", QByteArray("0123456789\n") + "xy", true, false, "\nxy"},
        ReplyCase{"ServerCrLfBecomesCrCrLf", kHeader + "a\r\nb", true, false, "a\r\r\nb"},
        ReplyCase{"ElevenCharactersGiveEmptyText", kHeader, false, false, ""},
        ReplyCase{"ShorterThanHeaderGivesEmptyText", "\xFF\xFF", false, false, ""},
        ReplyCase{"EmptyDatagramGivesEmptyText", "", false, false, ""},
        ReplyCase{"ProbeAnswer", kHeader + "!!ping\n", false, true, ""},
        ReplyCase{"ProbePrefixIsEnough", kHeader + "!!pingpong\n", false, true, ""},
        ReplyCase{"ProbeMatchIsCaseSensitive", kHeader + "!!PING\n", false, false, "!!PING\r\n"},
        ReplyCase{"ProbeMustStartTheText", kHeader + " !!ping\n", false, false, " !!ping\r\n"},
        ReplyCase{"ProbeAnswerOnceConnectedIsShown", kHeader + "!!ping\n", true, false, "!!ping\r\n"},
        ReplyCase{"WrongPasswordIsShown", kHeader + "Bad rconpassword.\n", false, false,
                  "Bad rconpassword.\r\n"}),
    [](const testing::TestParamInfo<ReplyCase>& info) { return std::string(info.param.name); });
}  // namespace
