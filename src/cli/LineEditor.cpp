#include "cli/LineEditor.h"

#include <QSocketNotifier>
#include <QString>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <histedit.h>
#include <unistd.h>

namespace brimhold::cli {

namespace {

constexpr int kHistorySize = 512;
constexpr int kMostListed = 200;
constexpr int kSignals[] = {SIGHUP, SIGTERM, SIGWINCH};

// A signal handler may only write to a pipe; the editor reads the other end from its event loop. The
// pipe is the process's, as the signals are.
int signalPipe[2] = {-1, -1};

void writeSignalNumber(int signalNumber) {
    const unsigned char byte = static_cast<unsigned char>(signalNumber);
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
}

// How many columns text takes on the terminal: one a character, as near as a count of UTF-8 text gets.
int widthOf(const QByteArray& text) {
    return int(QString::fromUtf8(text).size());
}

}  // namespace

LineEditor::LineEditor(QObject* parent) : QObject(parent) {
    m_history = history_init();
    HistEvent event;
    history(m_history, &event, H_SETSIZE, kHistorySize);
    history(m_history, &event, H_SETUNIQUE, 1);
}

LineEditor::~LineEditor() {
    stop();
    history_end(m_history);
}

bool LineEditor::stop() {
    if (!m_editLine) {
        return true;
    }
    // Off the prompt's line, so that what comes after the program starts on a line of its own.
    const bool written = m_betweenLines || write("\n");
    delete m_keys;
    m_keys = nullptr;
    delete m_signals;
    m_signals = nullptr;
    for (const int signalNumber : kSignals) {
        std::signal(signalNumber, SIG_DFL);
    }
    el_set(m_editLine, EL_UNBUFFERED, 0);
    el_end(m_editLine);
    m_editLine = nullptr;
    return written;
}

void LineEditor::setPrompt(const QByteArray& prompt) {
    m_prompt = prompt;
    if (m_editLine && !m_betweenLines) {
        write("\r\x1b[K");
        el_set(m_editLine, EL_REFRESH);
    }
}

void LineEditor::addHistory(const QByteArray& line) {
    HistEvent event;
    history(m_history, &event, H_ENTER, line.constData());
}

void LineEditor::start() {
    if (m_editLine) {
        return;
    }
    m_editLine = el_init("brimhold-rcon-cli", stdin, stdout, stderr);
    el_set(m_editLine, EL_CLIENTDATA, this);
    el_set(m_editLine, EL_EDITOR, "emacs");
    el_set(m_editLine, EL_PROMPT, &LineEditor::promptOf);
    el_set(m_editLine, EL_HIST, history, m_history);
    // The wide names: libedit keeps them as given (it would keep a copy of narrow ones, never freed).
    el_wset(m_editLine, EL_ADDFN, L"brimhold-complete", L"Complete the word from the server's words",
            &completeKey);
    el_wset(m_editLine, EL_ADDFN, L"brimhold-clear-line", L"Clear the line", &clearLineKey);
    el_wset(m_editLine, EL_ADDFN, L"brimhold-end-or-delete", L"End on an empty line, else delete",
            &endOrDeleteKey);
    el_set(m_editLine, EL_BIND, "^I", "brimhold-complete", nullptr);
    el_set(m_editLine, EL_BIND, "^C", "brimhold-clear-line", nullptr);
    el_set(m_editLine, EL_BIND, "^D", "brimhold-end-or-delete", nullptr);
    el_set(m_editLine, EL_BIND, "^R", "ed-search-prev-history", nullptr);
    el_set(m_editLine, EL_BIND, "^S", "ed-search-next-history", nullptr);
    // Ctrl-C reaches the editor as a key, not as a signal that would end the program, and Ctrl-S as a
    // key, not as the terminal's stop of all output until Ctrl-Q.
    el_set(m_editLine, EL_SETTY, "-d", "-isig", "-ixon", nullptr);
    // The user's own ~/.editrc may change the keys.
    el_source(m_editLine, nullptr);

    if (signalPipe[0] < 0 && ::pipe(signalPipe) != 0) {
        signalPipe[0] = signalPipe[1] = -1;
    }
    if (signalPipe[0] >= 0) {
        m_signals = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, this);
        connect(m_signals, &QSocketNotifier::activated, this, &LineEditor::readSignal);
        struct sigaction action = {};
        action.sa_handler = writeSignalNumber;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        for (const int signalNumber : kSignals) {
            sigaction(signalNumber, &action, nullptr);
        }
    }
    m_keys = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, this);
    connect(m_keys, &QSocketNotifier::activated, this, &LineEditor::readKey);
    // Reading a key at a time draws the prompt.
    el_set(m_editLine, EL_UNBUFFERED, 1);
}

void LineEditor::readKey() {
    int count = 0;
    const char* buffer = el_gets(m_editLine, &count);
    if (m_endAsked || (buffer == nullptr && count == 0)) {
        // Ctrl-D on an empty line, or the terminal has gone.
        m_keys->setEnabled(false);
        emit inputEnded();
        return;
    }
    if (buffer == nullptr) {
        return;  // an editing key
    }
    if (count == 0 || buffer[count - 1] != '\n') {
        return;  // a key of a line still being typed
    }
    // The line is whole. Ending the line's reading and starting the next one's empties the editor's
    // buffer and draws the prompt anew, after whatever the line's handling prints.
    const QByteArray line(buffer, count - 1);
    el_set(m_editLine, EL_UNBUFFERED, 0);
    m_betweenLines = true;
    emit lineEntered(line);
    m_betweenLines = false;
    if (m_editLine) {
        el_set(m_editLine, EL_UNBUFFERED, 1);
    }
}

void LineEditor::readSignal() {
    unsigned char signalNumber = 0;
    if (::read(signalPipe[0], &signalNumber, 1) != 1) {
        return;
    }
    if (signalNumber == SIGWINCH) {
        if (m_editLine) {
            el_resize(m_editLine);
        }
    } else {
        emit endRequested(signalNumber);
    }
}

bool LineEditor::printAbove(const QByteArray& lines) {
    if (!m_editLine || m_betweenLines) {
        return write(lines);
    }
    // Back to the first row of the prompt, clear from there down, print, and draw the line again.
    const LineInfo* info = el_line(m_editLine);
    const int before =
        widthOf(m_prompt) + widthOf(QByteArray(info->buffer, int(info->cursor - info->buffer)));
    const int rowsUp = before / std::max(1, columns());
    QByteArray erase = "\r";
    if (rowsUp > 0) {
        erase += "\x1b[" + QByteArray::number(rowsUp) + 'A';
    }
    const bool written = write(erase + "\x1b[J" + lines);
    el_set(m_editLine, EL_REFRESH);
    return written;
}

QByteArray LineEditor::line() const {
    if (!m_editLine) {
        return {};
    }
    const LineInfo* info = el_line(m_editLine);
    return QByteArray(info->buffer, int(info->lastchar - info->buffer));
}

int LineEditor::cursor() const {
    return m_editLine ? int(el_line(m_editLine)->cursor - el_line(m_editLine)->buffer) : 0;
}

void LineEditor::completeAgain() {
    if (!m_editLine || !m_completer || m_betweenLines) {
        return;
    }
    const std::optional<CompletionWords::Completion> completion = m_completer(line().left(cursor()));
    if (!completion) {
        return;
    }
    QByteArray listing;
    switch (applyCompletion(*completion, &listing)) {
        case Applied::Changed:
            write("\r\x1b[K");
            el_set(m_editLine, EL_REFRESH);
            break;
        case Applied::Listed:
            printAbove(listing);
            break;
        case Applied::NoMatch:
            write("\a");
            break;
    }
}

LineEditor::Applied LineEditor::applyCompletion(const CompletionWords::Completion& completion,
                                                QByteArray* listing) {
    const QByteArray before = line().left(cursor());
    const QByteArray typed = before.mid(completion.wordStart);
    if (completion.matches.isEmpty()) {
        return Applied::NoMatch;
    }
    const QByteArray word = completion.whole ? completion.word + ' ' : completion.word;
    if (word != typed) {
        el_deletestr(m_editLine, int(typed.size()));
        el_insertstr(m_editLine, word.constData());
        return Applied::Changed;
    }
    *listing = listingOf(completion.matches);
    return Applied::Listed;
}

// The matches in columns as wide as the longest, across the terminal; the first kMostListed of many.
QByteArray LineEditor::listingOf(const QList<QByteArray>& matches) const {
    int widest = 0;
    for (const QByteArray& match : matches) {
        widest = std::max(widest, widthOf(match));
    }
    const int perRow = std::max(1, columns() / (widest + 2));
    QByteArray listing;
    const int shown = std::min(int(matches.size()), kMostListed);
    for (int i = 0; i < shown; ++i) {
        const QByteArray& match = matches[i];
        const bool rowEnds = (i + 1) % perRow == 0 || i + 1 == shown;
        listing += rowEnds ? match + '\n' : match + QByteArray(widest + 2 - widthOf(match), ' ');
    }
    if (shown < matches.size()) {
        listing += "... and " + QByteArray::number(matches.size() - shown) + " more\n";
    }
    return listing;
}

int LineEditor::columns() const {
    int columns = 0;
    if (el_get(m_editLine, EL_GETTC, "co", &columns, nullptr) != 0 || columns <= 0) {
        return 80;
    }
    return columns;
}

bool LineEditor::write(const QByteArray& bytes) {
    return std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout) == size_t(bytes.size()) &&
           std::fflush(stdout) == 0;
}

LineEditor* LineEditor::editorOf(editline* el) {
    void* editor = nullptr;
    el_get(el, EL_CLIENTDATA, &editor);
    return static_cast<LineEditor*>(editor);
}

const char* LineEditor::promptOf(editline* el) {
    return editorOf(el)->m_prompt.constData();
}

unsigned char LineEditor::completeKey(editline* el, int) {
    LineEditor* editor = editorOf(el);
    if (!editor->m_completer) {
        return CC_ERROR;
    }
    const std::optional<CompletionWords::Completion> completion =
        editor->m_completer(editor->line().left(editor->cursor()));
    if (!completion) {
        return CC_NORM;  // the servers are asked; completeAgain() follows when their words come
    }
    QByteArray listing;
    switch (editor->applyCompletion(*completion, &listing)) {
        case Applied::Changed:
            return CC_REFRESH;
        case Applied::Listed:
            editor->write('\n' + listing);
            return CC_REDISPLAY;
        case Applied::NoMatch:
            break;
    }
    return CC_REFRESH_BEEP;
}

unsigned char LineEditor::clearLineKey(editline* el, int) {
    const LineInfo* info = el_line(el);
    el_cursor(el, int(info->lastchar - info->cursor));
    el_deletestr(el, int(info->lastchar - info->buffer));
    editorOf(el)->write("^C\n");
    return CC_REDISPLAY;
}

unsigned char LineEditor::endOrDeleteKey(editline* el, int) {
    const LineInfo* info = el_line(el);
    if (info->buffer == info->lastchar) {
        editorOf(el)->m_endAsked = true;
        return CC_NEWLINE;
    }
    if (info->cursor == info->lastchar) {
        return CC_ERROR;
    }
    el_cursor(el, 1);
    el_deletestr(el, 1);
    return CC_REFRESH;
}

}  // namespace brimhold::cli
