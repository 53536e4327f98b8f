#include "rcon/SecureRcon.h"

#include <gtest/gtest.h>

using namespace brimhold::rcon;

namespace {

// Requests that a DarkPlaces server (nexuiz-server 2.5.2, rcon_secure 1 and 2) answered, signed with
// the password "vector-password"; the challenge is the one that server handed out for it.
const QByteArray kTimeVector = QByteArray::fromHex(
    "ffffffff7372636f6e20484d41432d4d44342054494d4520159cbc7b80c5fc14e0950b5048159d652031373936363835"
    "3430332e353334323433206563686f20766563746f72");
const QByteArray kChallengeAnswer(
    "\xFF\xFF\xFF\xFF"
    "challenge CB<lT<==H&y\0",
    26);
const QByteArray kChallengeVector = QByteArray::fromHex(
    "ffffffff7372636f6e20484d41432d4d4434204348414c4c454e4745203f7abec4e9e30d46a94f264d0159ef1d2043"
    "423c6c543c3d3d482679206563686f20766563746f72");

TEST(SecureRcon, RequestsMatchTheOnesTheServerTook) {
    EXPECT_EQ(SecureRcon::timeRequest("vector-password", "1796685403.534243", "echo vector"), kTimeVector);
    const std::optional<QByteArray> challenge = SecureRcon::challengeOf(kChallengeAnswer);
    ASSERT_TRUE(challenge);
    EXPECT_EQ(*challenge, "CB<lT<==H&y");
    EXPECT_EQ(SecureRcon::challengeRequest("vector-password", *challenge, "echo vector"), kChallengeVector);
}

TEST(SecureRcon, TimeIsUnixSecondsWithSixDecimals) {
    EXPECT_EQ(SecureRcon::timeText(1796685403534), "1796685403.534000");
    EXPECT_EQ(SecureRcon::timeText(1000007), "1000.007000");
}

TEST(SecureRcon, ChallengeIsReadOnlyFromAChallengeAnswer) {
    const QByteArray marker(4, '\xFF');
    EXPECT_EQ(SecureRcon::challengeOf(marker + "challenge xyz"), QByteArray("xyz"));
    EXPECT_EQ(SecureRcon::challengeOf(marker + QByteArray("challenge q\0vlen", 16)), QByteArray("q"));
    for (const QByteArray& other :
         {marker + "challenge ", marker + "nchallenge x", marker + "print\nchallenge x", QByteArray()}) {
        EXPECT_FALSE(SecureRcon::challengeOf(other)) << other.toStdString();
    }
}

}  // namespace
