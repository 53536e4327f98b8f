#pragma once

#include "cli/ColorText.h"

#include <QByteArray>
#include <QList>
#include <QObject>

namespace brimhold::cli {

class ConsoleServer;
class ServerSession;

// What the interactive console does with a line typed at its prompt. The line goes to every server of
// the console at once; with several servers, a command that may change them is first asked about,
// unless the console was told not to ask. The replies become the lines printed above the prompt: with
// one server, each line as soon as its datagram has come; with several, each server's reply once it
// has ended, every line after the server's name in a colour of the server's own.
class LineDispatcher final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(LineDispatcher)

public:
    struct Options {
        ColorText::Mode colors = ColorText::Mode::Keep;  // Render also colours the servers' names
        bool raw = false;                                // replies as the server's bytes
        bool ask = true;                                 // ask before a command that may change servers
    };

    // The servers must outlive the dispatcher.
    LineDispatcher(QList<ConsoleServer*> servers, Options options, QObject* parent = nullptr);
    ~LineDispatcher() override;

    // Takes one line as typed (bytes as they go on the wire). True when it was a command, to be kept
    // in the history; false for an empty line or the answer to a question.
    bool enter(const QByteArray& line);

    // The prompt to show: "NAME> " (or "HOST:PORT> "), "N servers> ", or a question.
    QByteArray prompt() const;

signals:
    // Whole lines to print, each ending in a line feed: UTF-8, or the server's bytes when raw.
    void printed(const QByteArray& lines);
    void promptChanged();

private:
    void send(const QByteArray& command);
    void pieceReceived(const QByteArray& piece);
    void singleFinished(const ServerSession& session);
    void serverFinished(int index, const ServerSession& session);
    QByteArray nameOf(int index) const;
    QByteArray text(const QByteArray& serverBytes) const;

    QList<ConsoleServer*> m_servers;
    Options m_options;
    QByteArray m_question;        // the command asked about, while the question stands
    QByteArray m_unfinishedLine;  // with one server: the end of the reply so far, after its last line feed
};

}  // namespace brimhold::cli
