#include "cli/CompletionSource.h"

#include "cli/ConsoleServer.h"

namespace brimhold::cli {

namespace {

using Kind = CompletionWords::Kind;

// What a list is asked for with, and every list that the same answers fill: commands and cvars come
// together, both being needed for a first word, and both lists of players come from one status.
struct Listing {
    QList<QByteArray> request;
    QList<Kind> kinds;
};

Listing listingOf(Kind kind) {
    switch (kind) {
        case Kind::Commands:
        case Kind::Cvars:
            return {{"cmdlist", "cvarlist"}, {Kind::Commands, Kind::Cvars}};
        case Kind::Maps:
            return {{"fdir *.bsp"}, {Kind::Maps}};
        case Kind::Players:
        case Kind::NumberedPlayers:
            return {{"status"}, {Kind::Players, Kind::NumberedPlayers}};
    }
    return {};
}

QList<QByteArray> wordsIn(Kind kind, const QList<QByteArray>& replies) {
    switch (kind) {
        case Kind::Commands:
            return CompletionWords::commandsIn(replies.value(0));
        case Kind::Cvars:
            return CompletionWords::cvarsIn(replies.value(1));
        case Kind::Maps:
            return CompletionWords::mapsIn(replies.value(0));
        case Kind::Players:
            return CompletionWords::playersIn(replies.value(0));
        case Kind::NumberedPlayers:
            return CompletionWords::numberedSlotsIn(replies.value(0));
    }
    return {};
}

bool isPlayers(Kind kind) {
    return kind == Kind::Players || kind == Kind::NumberedPlayers;
}

}  // namespace

CompletionSource::CompletionSource(QList<ConsoleServer*> servers, rcon::Clock& clock, qint64 waitMs,
                                   QObject* parent)
    : QObject(parent),
      m_servers(std::move(servers)),
      m_clock(clock),
      m_waitMs(waitMs),
      m_waitTimer(clock.createTimer([this] { waitEnded(); })) {}

CompletionSource::~CompletionSource() = default;

std::optional<CompletionWords::Completion> CompletionSource::complete(const QByteArray& lineBeforeCursor) {
    bool missing = false;
    for (const Kind kind : CompletionWords::kindsFor(lineBeforeCursor)) {
        const List& list = m_lists[int(kind)];
        if (list.state == State::Asking) {
            // Whatever has come is used once the wait for it is over.
            missing = missing || m_clock.nowMs() < list.askedAtMs + m_waitMs;
        } else if (!isKnown(kind)) {
            ask(kind);
            missing = true;
        }
    }
    if (!missing) {
        return m_words.complete(lineBeforeCursor);
    }
    m_waiting = true;
    m_anyArrived = false;
    m_waitTimer->startAt(m_clock.nowMs() + m_waitMs);
    return std::nullopt;
}

void CompletionSource::commandSent() {
    for (const Kind kind : listingOf(Kind::Players).kinds) {
        List& players = m_lists[int(kind)];
        if (players.state == State::Known) {
            players.state = State::Unknown;
        }
    }
}

bool CompletionSource::isKnown(Kind kind) const {
    const List& list = m_lists[int(kind)];
    return list.state == State::Known &&
           (!isPlayers(kind) || m_clock.nowMs() < list.knownAtMs + kPlayersFreshMs);
}

void CompletionSource::ask(Kind kind) {
    const Listing listing = listingOf(kind);
    for (const Kind asked : listing.kinds) {
        m_lists[int(asked)] = {State::Asking, m_clock.nowMs(), 0, {}, int(m_servers.size())};
    }
    const QList<Kind> kinds = listing.kinds;
    for (ConsoleServer* server : std::as_const(m_servers)) {
        server->send(listing.request, [this, kinds](const ServerSession& session) {
            for (const Kind answered : kinds) {
                serverAnswered(answered, wordsIn(answered, session.replies()));
            }
        });
    }
}

void CompletionSource::serverAnswered(Kind kind, const QList<QByteArray>& words) {
    List& list = m_lists[int(kind)];
    list.words += words;
    m_words.set(kind, list.words);
    m_anyArrived = m_anyArrived || !words.isEmpty();
    if (--list.unanswered > 0) {
        return;
    }
    list.state = State::Known;
    list.knownAtMs = m_clock.nowMs();
    if (m_waiting && m_clock.nowMs() < list.askedAtMs + m_waitMs) {
        m_waiting = false;
        m_waitTimer->stop();
        emit wordsArrived();
    }
}

void CompletionSource::waitEnded() {
    if (m_waiting && m_anyArrived) {
        m_waiting = false;
        emit wordsArrived();
    }
    m_waiting = false;
}

}  // namespace brimhold::cli
