#pragma once

#include <QString>

namespace brimhold::console {

// Asks the user one question and waits for the answer: a modal dialog in the program, scripted answers
// in tests. An empty title means the dialog shows the application's name.
class InputPrompter {
public:
    virtual ~InputPrompter() = default;
    // A text answer; the dialog starts with an empty field. An empty answer means the user cancelled
    // (or confirmed an empty field; the two are the same to every caller).
    virtual QString ask(const QString& prompt, const QString& title) = 0;
    // A yes-or-no question, "yes" the default: Return confirms, Escape cancels. True when confirmed.
    virtual bool confirm(const QString& question, const QString& title) = 0;
};

}  // namespace brimhold::console
