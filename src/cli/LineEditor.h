#pragma once

#include "cli/CompletionWords.h"

#include <QByteArray>
#include <QObject>

#include <functional>
#include <optional>

class QSocketNotifier;

struct editline;
struct history;

namespace brimhold::cli {

// The input line at the terminal, edited with libedit (Emacs keys): history with Up, Down and Ctrl-R,
// Tab completion through the completer given, Ctrl-C clears the line, Ctrl-D on an empty line ends
// the input. Keys are read one by one from the event loop, so that text can be printed above the line
// while it is being edited; the line is drawn again below it.
//
// The editor owns the terminal from start() to its destruction, which sets the terminal back as it
// was. libedit keeps the terminal's settings for the process, so only one editor may exist at a time.
// Text is the terminal's bytes (UTF-8).
class LineEditor final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(LineEditor)

public:
    // Completes the word before the cursor; nothing when the words are not known yet (completeAgain()
    // may follow).
    using Completer =
        std::function<std::optional<CompletionWords::Completion>(const QByteArray& lineBeforeCursor)>;

    explicit LineEditor(QObject* parent = nullptr);
    ~LineEditor() override;

    void setCompleter(Completer completer) { m_completer = std::move(completer); }
    void setPrompt(const QByteArray& prompt);
    // Adds a line to what Up and Ctrl-R recall.
    void addHistory(const QByteArray& line);

    // Draws the prompt and starts reading keys.
    void start();
    // Stops reading keys, leaves the prompt's line and sets the terminal back as it was; may be called
    // from a slot of the editor's own signals. False when the terminal took the line end not.
    bool stop();
    // Prints whole lines above the line being edited, or just prints them before start(). False when
    // the terminal took them not.
    bool printAbove(const QByteArray& lines);

    // The line as it is, and the cursor's place in it.
    QByteArray line() const;
    int cursor() const;
    // Completes the line as it is once more, as Tab would.
    void completeAgain();

signals:
    void lineEntered(const QByteArray& line);
    // Ctrl-D on an empty line, or the terminal has gone.
    void inputEnded();
    // SIGHUP or SIGTERM came: the terminal has closed or the program is asked to end.
    void endRequested(int signalNumber);

private:
    enum class Applied { Changed, Listed, NoMatch };

    static unsigned char completeKey(editline* el, int key);
    static unsigned char clearLineKey(editline* el, int key);
    static unsigned char endOrDeleteKey(editline* el, int key);
    static const char* promptOf(editline* el);
    static LineEditor* editorOf(editline* el);

    void readKey();
    void readSignal();
    Applied applyCompletion(const CompletionWords::Completion& completion, QByteArray* listing);
    QByteArray listingOf(const QList<QByteArray>& matches) const;
    int columns() const;
    bool write(const QByteArray& bytes);

    editline* m_editLine = nullptr;
    history* m_history = nullptr;
    QSocketNotifier* m_keys = nullptr;
    QSocketNotifier* m_signals = nullptr;
    Completer m_completer;
    QByteArray m_prompt;
    bool m_betweenLines = false;  // a line has been entered and the next prompt is not drawn yet
    bool m_endAsked = false;
};

}  // namespace brimhold::cli
