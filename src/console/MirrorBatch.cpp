#include "console/MirrorBatch.h"

namespace brimhold::console {

void MirrorBatch::add(const Transcript::Appended& appended) {
    m_shown.append(appended.shown);
    ++m_appends;
}

void MirrorBatch::add(const Transcript::Trimmed& trimmed) {
    m_removedLineBreaks += trimmed.removedLineBreaks;
}

MirrorBatch::Edit MirrorBatch::editFor(int viewLineBreaks) const {
    if (m_removedLineBreaks <= viewLineBreaks) {
        return {false, m_shown, m_removedLineBreaks};
    }
    // Every line the view shows goes, its unfinished last line too; so do the batch's first lines.
    qsizetype start = 0;
    for (int line = viewLineBreaks; line < m_removedLineBreaks && start < m_shown.size(); ++line) {
        const qsizetype lineBreak = m_shown.indexOf('\n', start);
        start = lineBreak < 0 ? m_shown.size() : lineBreak + 1;
    }
    return {true, m_shown.mid(start), 0};
}

}  // namespace brimhold::console
