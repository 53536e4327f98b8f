#pragma once

#include <QString>

namespace brimhold::console {

// Asks the user one question and waits for the answer: a modal input dialog in the program, scripted
// answers in tests. The dialog starts with an empty field. An empty title means the dialog shows the
// application's name. An empty answer means the user cancelled (or confirmed an empty field; the two
// are the same to every caller).
class InputPrompter {
public:
    virtual ~InputPrompter() = default;
    virtual QString ask(const QString& prompt, const QString& title) = 0;
};

}  // namespace brimhold::console
