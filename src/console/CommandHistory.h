#pragma once

#include <QString>

#include <array>
#include <cstdint>

namespace brimhold::console {

// The console's recall history of typed and menu commands.
//
// Slots 0..512 hold recorded commands, oldest in slot 0. HistoryCount is the slot the next command is
// written to: it counts the commands recorded until it reaches 512 and then stays there; from then on
// every new command shifts the whole history down one slot, so slots 0..511 hold the last 512 commands
// and slot 512 a second copy of the newest. HistoryPos is the recall cursor, 0..HistoryCount; it is
// one past the newest command after each record. Duplicates are recorded like any other command.
class CommandHistory final {
public:
    static constexpr int16_t kSlotCount = 513;
    static constexpr int16_t kMaxCount = 512;

    // Writes the command into slot HistoryCount (shifting at 512) and puts the cursor past it.
    void record(const QString& command);

    // Up arrow: moves the cursor one slot back, not below 0, and returns that slot's text.
    QString recallUp();
    // Down arrow: moves the cursor one slot on, not past HistoryCount, and returns that slot's text
    // (empty while the cursor is one past the newest, until the history is full).
    QString recallDown();

    int16_t HistoryCount() const { return m_count; }
    int16_t HistoryPos() const { return m_pos; }
    // The text of one slot, 0..512; an empty text for any other number.
    QString History(int slot) const;

private:
    void shiftDown();

    std::array<QString, kSlotCount> m_slots;
    int16_t m_count = 0;
    int16_t m_pos = 0;
};

}  // namespace brimhold::console
