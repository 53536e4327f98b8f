#pragma once

#include "cli/ServerSession.h"

#include <QByteArray>
#include <QList>
#include <QObject>

namespace brimhold::rcon {
class Clock;
}  // namespace brimhold::rcon

namespace brimhold::cli {

// Runs the same commands (or the status query) on several servers at the same time, each in a session
// of its own with its own socket, reply joining, pacing and time-out, at most a given number at once.
// A slow or dead server holds up only itself: the others start and finish without it.
class ServerFleet final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ServerFleet)

public:
    // Empty commands ask for the status. The clock must outlive the fleet.
    ServerFleet(const QList<ServerTarget>& targets, QList<QByteArray> commands, rcon::Clock& clock,
                ServerSession::Timing timing, int parallel, QObject* parent = nullptr);
    ~ServerFleet() override;

    // The most sessions at once unless the user chose: 128, so that a few hundred servers finish in a few
    // waves of one reply's idle wait, lowered so that the running sessions' sockets (one descriptor each)
    // fit under `openFileLimit` with room for the program's own descriptors; at least 1.
    static int defaultParallel(qint64 openFileLimit);

    // Starts the first sessions; serverFinished() and finished() follow.
    void start();

    int size() const { return int(m_sessions.size()); }
    const ServerSession& session(int index) const { return *m_sessions.at(index); }
    bool isFinished() const { return m_finishedCount == size(); }
    // The worst outcome so far (Ok when none has finished).
    Outcome worstOutcome() const;

signals:
    // The session of the target with this index (from 0, in the targets' order) has finished.
    void serverFinished(int index);
    void finished();

private:
    void startNext();
    void sessionFinished(int index);

    QList<ServerSession*> m_sessions;
    QList<QByteArray> m_commands;
    int m_parallel;
    int m_nextToStart = 0;
    int m_running = 0;
    int m_finishedCount = 0;
};

}  // namespace brimhold::cli
