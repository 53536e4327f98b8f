#include "cli/LineDispatcher.h"

#include "codepage/Windows1252.h"
#include "cli/CliArguments.h"
#include "cli/ColorText.h"
#include "cli/ConsoleServer.h"
#include "cli/ReadOnlyCommands.h"
#include "cli/Report.h"

#include <iterator>

namespace brimhold::cli {

namespace {

// The servers' names take these terminal colours in turn: green, yellow, blue, magenta, cyan, red.
constexpr int kNameColours[] = {2, 3, 4, 5, 6, 1};

QByteArray withLineEnd(QByteArray text) {
    if (!text.isEmpty() && !text.endsWith('\n')) {
        text += '\n';
    }
    return text;
}

}  // namespace

LineDispatcher::LineDispatcher(QList<ConsoleServer*> servers, Options options, QObject* parent)
    : QObject(parent), m_servers(std::move(servers)), m_options(options) {}

LineDispatcher::~LineDispatcher() = default;

QByteArray LineDispatcher::prompt() const {
    if (!m_question.isEmpty()) {
        return "Send \"" + codepage::Windows1252::toUnicode(m_question).toUtf8() + "\" to " +
               QByteArray::number(m_servers.size()) + " servers? [y/N] ";
    }
    if (m_servers.size() > 1) {
        return QByteArray::number(m_servers.size()) + " servers> ";
    }
    return nameOf(0) + "> ";
}

bool LineDispatcher::enter(const QByteArray& line) {
    if (!m_question.isEmpty()) {
        const QByteArray answer = line.trimmed().toLower();
        const QByteArray command = std::exchange(m_question, {});
        emit promptChanged();
        if (answer == "y" || answer == "yes") {
            send(command);
        } else {
            emit printed("Nothing was sent.\n");
        }
        return false;
    }
    if (line.trimmed().isEmpty()) {
        return false;
    }
    const QString problem = CliArguments::problemWithCommand(codepage::Windows1252::toUnicode(line));
    if (!problem.isEmpty()) {
        emit printed(problem.toUtf8() + '\n');
        return true;
    }
    if (m_servers.size() > 1 && m_options.ask && !ReadOnlyCommands::isReadOnly(line)) {
        m_question = line;
        emit promptChanged();
        return true;
    }
    send(line);
    return true;
}

void LineDispatcher::send(const QByteArray& command) {
    if (m_servers.size() == 1) {
        m_servers[0]->send(
            {command}, [this](const ServerSession& session) { singleFinished(session); },
            [this](const QByteArray& piece) { pieceReceived(piece); });
        return;
    }
    for (int index = 0; index < m_servers.size(); ++index) {
        m_servers[index]->send(
            {command}, [this, index](const ServerSession& session) { serverFinished(index, session); });
    }
}

void LineDispatcher::pieceReceived(const QByteArray& piece) {
    m_unfinishedLine += piece;
    const qsizetype lineEnd = m_unfinishedLine.lastIndexOf('\n');
    if (lineEnd >= 0) {
        emit printed(text(m_unfinishedLine.left(lineEnd + 1)));
        m_unfinishedLine.remove(0, lineEnd + 1);
    }
}

void LineDispatcher::singleFinished(const ServerSession& session) {
    QByteArray lines = withLineEnd(text(std::exchange(m_unfinishedLine, {})));
    if (session.outcome() == Outcome::NoReply || session.outcome() == Outcome::Error) {
        lines += session.problem().toUtf8() + '\n';
    }
    if (!lines.isEmpty()) {
        emit printed(lines);
    }
}

void LineDispatcher::serverFinished(int index, const ServerSession& session) {
    QByteArray reply = withLineEnd(text(session.replies().join()));
    if (session.outcome() == Outcome::NoReply || session.outcome() == Outcome::Error) {
        reply += session.problem().toUtf8() + '\n';
    }
    QByteArray name = nameOf(index) + ": ";
    if (m_options.colors == ColorText::Mode::Render) {
        name = ColorText::coloured(name, kNameColours[index % std::size(kNameColours)]);
    }
    QByteArray lines;
    for (const QByteArray& line : reply.split('\n')) {
        if (!line.isEmpty()) {
            lines += name + line + '\n';
        }
    }
    if (!lines.isEmpty()) {
        emit printed(lines);
    }
}

QByteArray LineDispatcher::nameOf(int index) const {
    return m_servers[index]->target().label().toUtf8();
}

QByteArray LineDispatcher::text(const QByteArray& serverBytes) const {
    return Report::replyText(serverBytes, m_options.colors, m_options.raw);
}

}  // namespace brimhold::cli
