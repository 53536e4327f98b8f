#include "rcon/SecureRcon.h"

#include <QMessageAuthenticationCode>

#include <array>

namespace brimhold::rcon {

namespace {

const QByteArray kMarker(4, '\xFF');
const QByteArray kChallengeAnswer = kMarker + "challenge ";

struct ModeName {
    AuthMode mode;
    QLatin1StringView name;
};

constexpr std::array<ModeName, 3> kModeNames{{
    {AuthMode::Plain, QLatin1StringView("plain")},
    {AuthMode::Time, QLatin1StringView("time")},
    {AuthMode::Challenge, QLatin1StringView("challenge")},
}};

// prefix, HMAC-MD4(password, nonce + " " + command), " ", nonce, " ", command.
QByteArray signedRequest(const char* prefix, const QByteArray& password, const QByteArray& nonce,
                         const QByteArray& command) {
    const QByteArray signedText = nonce + ' ' + command;
    const QByteArray signature =
        QMessageAuthenticationCode::hash(signedText, password, QCryptographicHash::Md4);
    return kMarker + prefix + signature + ' ' + signedText;
}

}  // namespace

const QByteArray SecureRcon::kChallengeQuery = kMarker + "getchallenge";

QLatin1StringView SecureRcon::nameOf(AuthMode mode) {
    for (const ModeName& entry : kModeNames) {
        if (entry.mode == mode) {
            return entry.name;
        }
    }
    return kModeNames[0].name;
}

std::optional<AuthMode> SecureRcon::modeNamed(QStringView name) {
    for (const ModeName& entry : kModeNames) {
        if (name == entry.name) {
            return entry.mode;
        }
    }
    return std::nullopt;
}

QByteArray SecureRcon::timeText(qint64 unixMs) {
    const qint64 seconds = unixMs / 1000;
    const qint64 micros = (unixMs % 1000) * 1000;
    return QByteArray::number(seconds) + '.' + QByteArray::number(micros).rightJustified(6, '0');
}

QByteArray SecureRcon::timeRequest(const QByteArray& password, const QByteArray& time,
                                   const QByteArray& command) {
    return signedRequest("srcon HMAC-MD4 TIME ", password, time, command);
}

QByteArray SecureRcon::challengeRequest(const QByteArray& password, const QByteArray& challenge,
                                        const QByteArray& command) {
    return signedRequest("srcon HMAC-MD4 CHALLENGE ", password, challenge, command);
}

std::optional<QByteArray> SecureRcon::challengeOf(const QByteArray& datagram) {
    if (!datagram.startsWith(kChallengeAnswer)) {
        return std::nullopt;
    }
    const qsizetype start = kChallengeAnswer.size();
    const qsizetype end = datagram.indexOf('\0', start);
    const QByteArray challenge = datagram.mid(start, end < 0 ? -1 : end - start);
    if (challenge.isEmpty()) {
        return std::nullopt;
    }
    return challenge;
}

}  // namespace brimhold::rcon
