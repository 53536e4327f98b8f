#include "rcon/CommandSender.h"
#include "rcon/RconProtocol.h"

#include "ManualClock.h"

#include <gtest/gtest.h>

using namespace brimhold::rcon;

namespace {

constexpr qint64 kUnixMs = 1796685403534;
const QByteArray kPassword("pw");

QByteArray challengeAnswer(const QByteArray& challenge) {
    return QByteArray(4, '\xFF') + "challenge " + challenge + '\0';
}

class CommandSenderTest : public ::testing::Test {
protected:
    std::unique_ptr<CommandSender> sender(AuthMode mode) {
        auto made = std::make_unique<CommandSender>(
            mode, [this](const QByteArray& datagram) { m_sent.append(datagram); }, m_clock,
            [] { return kUnixMs; });
        QObject::connect(made.get(), &CommandSender::gaveUp, [this](int commands) { m_gaveUp += commands; });
        return made;
    }

    ManualClock m_clock;
    QList<QByteArray> m_sent;
    int m_gaveUp = 0;
};

TEST_F(CommandSenderTest, PlainAndTimeSignedRequestsGoOutAtOnce) {
    sender(AuthMode::Plain)->sendCommand(kPassword, "status");
    const auto timed = sender(AuthMode::Time);
    timed->sendCommand(kPassword, "status");
    EXPECT_EQ(m_sent, (QList<QByteArray>{RconProtocol::request(kPassword, "status"),
                                         SecureRcon::timeRequest(kPassword, "1796685403.534000", "status")}));
    // Only challenge mode has answers of its own to take.
    EXPECT_FALSE(timed->takeDatagram(challengeAnswer("abc")));
}

TEST_F(CommandSenderTest, EachHeldCommandIsSignedWithAChallengeOfItsOwn) {
    const auto challenged = sender(AuthMode::Challenge);
    challenged->sendCommand(kPassword, "a");
    challenged->sendCommand(kPassword, "b");
    EXPECT_EQ(m_sent, QList<QByteArray>{SecureRcon::kChallengeQuery});

    m_clock.advanceBy(20);
    EXPECT_TRUE(challenged->takeDatagram(challengeAnswer("c1")));
    EXPECT_FALSE(challenged->takeDatagram(QByteArray(4, '\xFF') + "nc1"));  // a reply, not a challenge
    EXPECT_EQ(m_sent.size(), 2);
    EXPECT_EQ(m_sent.last(), SecureRcon::challengeRequest(kPassword, "c1", "a"));

    // The server answers one query from an address each half second: the next waits for its turn.
    m_clock.advanceBy(500);
    EXPECT_EQ(m_sent.size(), 2);
    m_clock.advanceBy(100);
    EXPECT_EQ(m_sent.last(), SecureRcon::kChallengeQuery);
    // A second answer with the challenge already used (to a repeated query) is not used again.
    EXPECT_TRUE(challenged->takeDatagram(challengeAnswer("c1")));
    EXPECT_EQ(m_sent.size(), 3);
    EXPECT_TRUE(challenged->takeDatagram(challengeAnswer("c2")));
    EXPECT_EQ(m_sent.last(), SecureRcon::challengeRequest(kPassword, "c2", "b"));
    EXPECT_EQ(challenged->waitingCommands(), 0);
}

TEST_F(CommandSenderTest, AnUnansweredQueryIsRepeatedUntilTheCommandsAreGivenUp) {
    const auto challenged = sender(AuthMode::Challenge);
    challenged->sendCommand(kPassword, "a");
    challenged->sendCommand(kPassword, "b");
    const CommandSender::Timing timing;
    m_clock.advanceBy(timing.retryMs * timing.queryTries - 1);
    EXPECT_EQ(m_sent, QList<QByteArray>(timing.queryTries, SecureRcon::kChallengeQuery));
    EXPECT_EQ(m_gaveUp, 0);

    m_clock.advanceBy(1);
    EXPECT_EQ(m_gaveUp, 2);
    EXPECT_EQ(challenged->waitingCommands(), 0);
    EXPECT_TRUE(challenged->takeDatagram(challengeAnswer("late")));
    EXPECT_EQ(m_sent.size(), timing.queryTries);  // nothing is left to sign

    // A later command starts afresh.
    challenged->sendCommand(kPassword, "c");
    EXPECT_TRUE(challenged->takeDatagram(challengeAnswer("c3")));
    EXPECT_EQ(m_sent.last(), SecureRcon::challengeRequest(kPassword, "c3", "c"));
}

TEST_F(CommandSenderTest, DroppedCommandsAreNeverSignedByALaterChallenge) {
    const auto challenged = sender(AuthMode::Challenge);
    challenged->sendCommand(kPassword, "from an ended run");
    EXPECT_EQ(challenged->dropHeld(), 1);
    m_clock.advanceBy(CommandSender::Timing{}.retryMs * 10);
    EXPECT_EQ(m_sent.size(), 1);  // the one query, not repeated
    challenged->sendCommand(kPassword, "next");
    EXPECT_TRUE(challenged->takeDatagram(challengeAnswer("c1")));
    EXPECT_EQ(m_sent.last(), SecureRcon::challengeRequest(kPassword, "c1", "next"));
    EXPECT_EQ(m_gaveUp, 0);
}

}  // namespace
