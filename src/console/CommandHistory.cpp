#include "console/CommandHistory.h"

#include <algorithm>

namespace brimhold::console {

void CommandHistory::record(const QString& command) {
    m_slots[m_count] = command;
    if (m_count == kMaxCount) {
        shiftDown();
    } else {
        ++m_count;
    }
    m_pos = m_count;
}

// Slot 1 into slot 0, ..., slot 512 into slot 511: a fixed 512-slot move whatever the number of
// commands recorded. Slot 512 is copied rather than moved so that it keeps the newest command too.
void CommandHistory::shiftDown() {
    std::move(m_slots.begin() + 1, m_slots.begin() + kMaxCount, m_slots.begin());
    m_slots[kMaxCount - 1] = m_slots[kMaxCount];
}

QString CommandHistory::recallUp() {
    if (m_pos > 0) {
        --m_pos;
    }
    return m_slots[m_pos];
}

QString CommandHistory::recallDown() {
    if (m_pos < m_count) {
        ++m_pos;
    }
    return m_slots[m_pos];
}

QString CommandHistory::History(int slot) const {
    if (slot < 0 || slot >= kSlotCount) {
        return QString();
    }
    return m_slots[slot];
}

}  // namespace brimhold::console
