#pragma once

#include <QRect>

#include <array>
#include <optional>

namespace brimhold::console {

// A rectangle in twips (1/1440 inch), relative to the top-left corner of the window's client area.
struct TwipsRect {
    float left = 0;
    float top = 0;
    float width = 0;
    float height = 0;

    // The rectangle in pixels at the given logical dpi. Edges are rounded, not sizes, so controls that
    // touch in twips still touch in pixels.
    QRect toPixels(qreal logicalDpi) const;
};

struct TwipsSize {
    float width = 0;
    float height = 0;
};

// Where the console window's controls go for one client size.
struct ConsoleGeometry {
    TwipsRect Text1;                                // output box
    TwipsRect Text2;                                // input line
    TwipsRect Command1;                             // "Enter"
    TwipsRect Command2;                             // "Sluiten"
    std::array<TwipsRect, 4> cmdRconCommandButton;  // quick buttons, by index
};

// The console window's resize rules as pure functions of sizes in twips, computed in single precision.
// The output box keeps 1600 free at its right for the quick-button column and fills the height down to
// the input row; the input row spans the whole width with "Enter" and "Sluiten" (1215 wide each) at its
// right end; the quick buttons follow the right edge and never move vertically.
class ConsoleLayout final {
public:
    ConsoleLayout() = delete;

    static constexpr TwipsSize kInitialClientSize{10815, 7455};
    static constexpr float kMinimumOuterTwips = 3000;
    static constexpr float kRowHeight = 375;
    static constexpr float kRowButtonWidth = 1215;
    static constexpr float kQuickButtonWidth = 1335;
    static constexpr float kQuickButtonHeight = 375;
    static constexpr std::array<float, 4> kQuickButtonTops{120, 600, 1080, 1560};

    // The restored window's outer size raised to at least 3000 in each direction (width, then height).
    // The window keeps this as its minimum size, so arrange() never sees a smaller restored window.
    static TwipsSize minimumOuterSize(TwipsSize outer);

    // The controls' places for a client area of the given size; nothing (leave every control where it
    // is) while the window is minimized.
    static std::optional<ConsoleGeometry> arrange(TwipsSize client, bool minimized = false);

    // 15 twips make one pixel at 96 dpi; other dpi values scale proportionally.
    static int twipsToPixels(float twips, qreal logicalDpi);
    static float pixelsToTwips(int pixels, qreal logicalDpi);
};

}  // namespace brimhold::console
