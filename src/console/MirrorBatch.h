#pragma once

#include "console/Transcript.h"

#include <QByteArray>

namespace brimhold::console {

// What a view of a Transcript must do for several appends and trims in a row, gathered so that the view
// changes once for all of them: one insertion at the end, then the trims. When the trims reach past
// what the view showed before the batch, they cut into the batch's own text, which is then never shown.
class MirrorBatch final {
public:
    struct Edit {
        bool clearView = false;     // remove everything the view shows before inserting
        QByteArray inserted;        // shown text to add at the end of the view
        int removedLineBreaks = 0;  // then remove this many whole lines from the view's start
    };

    void add(const Transcript::Appended& appended);
    void add(const Transcript::Trimmed& trimmed);
    bool hasAppends() const { return m_appends > 0; }

    // The edit for a view that shows `viewLineBreaks` line breaks before the batch.
    Edit editFor(int viewLineBreaks) const;

private:
    QByteArray m_shown;
    int m_removedLineBreaks = 0;
    int m_appends = 0;
};

}  // namespace brimhold::console
