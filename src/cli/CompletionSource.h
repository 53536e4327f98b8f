#pragma once

#include "rcon/Clock.h"
#include "cli/CompletionWords.h"

#include <QByteArray>
#include <QList>
#include <QObject>

#include <array>
#include <memory>
#include <optional>

namespace brimhold::cli {

class ConsoleServer;

// Where the interactive console's completion words come from: the servers themselves. A list is asked
// for when a completion first needs it, from every server at once: "cmdlist" and "cvarlist" together,
// "fdir *.bsp" for the maps, "status" for the players. The words of every server that answered are
// kept together; commands, cvars and maps for the whole session, the players for kPlayersFreshMs and
// until the next command, since they come and go. A list that no server gave is not asked for again.
class CompletionSource final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CompletionSource)

public:
    static constexpr qint64 kPlayersFreshMs = 10000;

    // The servers and the clock must outlive the source. waitMs is how long after a completion that
    // had to ask the servers their words may still complete it.
    CompletionSource(QList<ConsoleServer*> servers, rcon::Clock& clock, qint64 waitMs,
                     QObject* parent = nullptr);
    ~CompletionSource() override;

    // Completes the word at the end of the line from the words known. When a list it needs is not
    // known yet, asks the servers for it and returns nothing; wordsArrived() follows once every server
    // has answered, or with whatever has come at the end of the wait, unless nothing came.
    std::optional<CompletionWords::Completion> complete(const QByteArray& lineBeforeCursor);

    // A command has gone to the servers: it may have changed the players, who are asked for again.
    void commandSent();

signals:
    void wordsArrived();

private:
    enum class State { Unknown, Asking, Known };
    struct List {
        State state = State::Unknown;
        qint64 askedAtMs = 0;
        qint64 knownAtMs = 0;
        QList<QByteArray> words;  // gathered from the servers that have answered so far
        int unanswered = 0;       // servers still asked
    };

    bool isKnown(CompletionWords::Kind kind) const;
    void ask(CompletionWords::Kind kind);
    void serverAnswered(CompletionWords::Kind kind, const QList<QByteArray>& words);
    void waitEnded();

    QList<ConsoleServer*> m_servers;
    rcon::Clock& m_clock;
    qint64 m_waitMs;
    std::unique_ptr<rcon::Clock::Timer> m_waitTimer;
    CompletionWords m_words;
    std::array<List, CompletionWords::kKinds> m_lists;
    bool m_waiting = false;
    bool m_anyArrived = false;
};

}  // namespace brimhold::cli
