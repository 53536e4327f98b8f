#pragma once

#include <QString>

namespace brimhold::app {

// The About box's message: eleven lines joined by CR LF, the last one without a line break.
class AboutText final {
public:
    AboutText() = delete;

    // versionLabel is the banner label's current text; line 2 shows it unchanged.
    static QString build(const QString& versionLabel);

    static constexpr const char* kTitle = "Qor rcon";
};

}  // namespace brimhold::app
