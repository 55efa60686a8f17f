#pragma once

#include <vector>

// Layout that keeps every control whole and on the screen from 100% to 200%
// text scale, down to a 1024-pixel-wide screen.
//
// A row of the main window's controls, the command buttons along the bottom
// for one: the leading ones from the left and the last one (退出) against the
// right edge. A narrow window or a large text scale first narrows the gaps,
// then the buttons down to their captions, and only then wraps the row.
namespace quorva {

struct ButtonBox {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    int right() const { return left + width; }
    int bottom() const { return top + height; }
};

// In pixels at the window's scale.
struct ButtonRowMetrics {
    int margin = 0;        // left and right of the row
    int gap = 0;           // between buttons at ease
    int smallestGap = 0;   // between buttons when space is short
    int buttonWidth = 0;   // a button's width at ease; 0 for the caption's
    int buttonHeight = 0;
    int padding = 0;       // above, between and below the rows
};

struct ButtonRowLayout {
    // One box per button, in the order given; tops are from the panel's top.
    std::vector<ButtonBox> buttons;
    int rows = 0;
    int height = 0;
};

// `captionWidths` holds, per button, the narrowest width that shows its
// caption whole; a button never gets less unless the window itself is
// narrower than that.
ButtonRowLayout LayOutButtonRow(int panelWidth, const std::vector<int>& captionWidths, const ButtonRowMetrics& metrics);

// The scale, in DPI up to `dpi`, at which a dialog of `width` x `height`
// pixels at 100% fits a work area: a large text scale on a small screen
// shrinks the dialog, fonts and all, rather than push its buttons off the
// screen. Never below kSmallestFittingDpi.
inline constexpr int kSmallestFittingDpi = 72;
int FittingDpi(int dpi, int width, int height, int workWidth, int workHeight);

}  // namespace quorva
