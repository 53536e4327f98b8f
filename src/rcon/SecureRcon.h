#pragma once

#include <QByteArray>
#include <QLatin1StringView>
#include <QStringView>
#include <QtGlobal>

#include <optional>

namespace brimhold::rcon {

// How a request shows the server that its sender knows the password.
enum class AuthMode {
    Plain,      // the password travels in the request (every engine)
    Time,       // signed over the sender's clock (DarkPlaces rcon_secure 1)
    Challenge,  // signed over a challenge the server handed out just before (DarkPlaces rcon_secure 1 and 2)
};

// The signed rcon requests of DarkPlaces servers, in which the password never travels: each carries an
// HMAC-MD4 keyed with the password over a nonce and the command. The nonce is either the sender's Unix
// time, which the server takes while it lies within a few seconds of its own clock (rcon_secure_maxdiff),
// or a challenge that the server gave this address and port, which it takes once. Bytes throughout: the
// password and the command as they go on the wire.
class SecureRcon final {
public:
    SecureRcon() = delete;

    // The mode's name on the command line and in the settings file: "plain", "time" or "challenge".
    static QLatin1StringView nameOf(AuthMode mode);
    // The mode of a name as nameOf() writes it; nothing for any other text.
    static std::optional<AuthMode> modeNamed(QStringView name);

    static const QByteArray kChallengeQuery;  // 0xFF x4, "getchallenge"

    // The time as a request carries it: Unix seconds with six decimals.
    static QByteArray timeText(qint64 unixMs);
    // 0xFF x4, "srcon HMAC-MD4 TIME ", the 16 signature bytes, " ", time, " ", command; signed over
    // time + " " + command.
    static QByteArray timeRequest(const QByteArray& password, const QByteArray& time,
                                  const QByteArray& command);
    // 0xFF x4, "srcon HMAC-MD4 CHALLENGE ", the 16 signature bytes, " ", challenge, " ", command; signed
    // over challenge + " " + command.
    static QByteArray challengeRequest(const QByteArray& password, const QByteArray& challenge,
                                       const QByteArray& command);

    // The challenge in the server's answer to kChallengeQuery (0xFF x4, "challenge ", the challenge, a zero
    // byte and maybe more); nothing when the datagram is no such answer.
    static std::optional<QByteArray> challengeOf(const QByteArray& datagram);
};

}  // namespace brimhold::rcon
