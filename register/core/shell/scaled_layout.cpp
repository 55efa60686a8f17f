#include "register/core/shell/scaled_layout.h"

#include <algorithm>
#include <numeric>
#include <optional>

namespace quorva {

namespace {

constexpr int kBaseDpi = 96;

int Sum(const std::vector<int>& values)
{
    return std::accumulate(values.begin(), values.end(), 0);
}

int GapCount(const std::vector<int>& widths)
{
    return std::max(1, static_cast<int>(widths.size()) - 1);
}

// The usual width, or more where a caption needs it.
std::vector<int> WidthsAtEase(const std::vector<int>& captionWidths, const ButtonRowMetrics& metrics)
{
    std::vector<int> widths;
    for (int caption : captionWidths) widths.push_back(std::max(metrics.buttonWidth, caption));
    return widths;
}

// The widest common width, never below a caption, at which all buttons
// together take at most `space`; nothing when the captions alone need more.
std::optional<std::vector<int>> WidthsShrunkInto(int space, const std::vector<int>& captionWidths,
                                                 const ButtonRowMetrics& metrics)
{
    for (int common = metrics.buttonWidth; common >= 0; --common) {
        std::vector<int> widths;
        for (int caption : captionWidths) widths.push_back(std::max(common, caption));
        if (Sum(widths) <= space) return widths;
    }
    return std::nullopt;
}

int RowTop(int row, const ButtonRowMetrics& metrics)
{
    return metrics.padding + row * (metrics.buttonHeight + metrics.padding);
}

void Finish(ButtonRowLayout& layout, int rows, const ButtonRowMetrics& metrics)
{
    layout.rows = rows;
    layout.height = RowTop(rows, metrics);
}

ButtonRowLayout OneRow(int panelWidth, const std::vector<int>& widths, int gap, const ButtonRowMetrics& metrics)
{
    ButtonRowLayout layout;
    int left = metrics.margin;
    for (std::size_t i = 0; i + 1 < widths.size(); ++i) {
        layout.buttons.push_back({left, metrics.padding, widths[i], metrics.buttonHeight});
        left += widths[i] + gap;
    }
    layout.buttons.push_back(
        {panelWidth - metrics.margin - widths.back(), metrics.padding, widths.back(), metrics.buttonHeight});
    Finish(layout, 1, metrics);
    return layout;
}

// Row after row at ease; the last button ends the last row at the right
// edge, or starts a row of its own when that row is full.
ButtonRowLayout Wrapped(int panelWidth, const std::vector<int>& widths, const ButtonRowMetrics& metrics)
{
    ButtonRowLayout layout;
    const int end = panelWidth - metrics.margin;
    const int widest = std::max(0, end - metrics.margin);
    int row = 0;
    int left = metrics.margin;
    for (std::size_t i = 0; i < widths.size(); ++i) {
        const int width = std::min(widths[i], widest);
        if (left > metrics.margin && left + width > end) {
            ++row;
            left = metrics.margin;
        }
        const bool last = i + 1 == widths.size();
        layout.buttons.push_back({last ? end - width : left, RowTop(row, metrics), width, metrics.buttonHeight});
        left += width + metrics.gap;
    }
    Finish(layout, row + 1, metrics);
    return layout;
}

}  // namespace

ButtonRowLayout LayOutButtonRow(int panelWidth, const std::vector<int>& captionWidths, const ButtonRowMetrics& metrics)
{
    if (captionWidths.empty()) return {};
    const int inside = panelWidth - 2 * metrics.margin;
    const std::vector<int> atEase = WidthsAtEase(captionWidths, metrics);
    const int gaps = GapCount(atEase);

    const int spare = inside - Sum(atEase);
    if (spare >= gaps * metrics.smallestGap) {
        return OneRow(panelWidth, atEase, std::min(metrics.gap, spare / gaps), metrics);
    }

    if (const auto shrunk = WidthsShrunkInto(inside - gaps * metrics.smallestGap, captionWidths, metrics)) {
        return OneRow(panelWidth, *shrunk, metrics.smallestGap, metrics);
    }
    return Wrapped(panelWidth, atEase, metrics);
}

int FittingDpi(int dpi, int width, int height, int workWidth, int workHeight)
{
    const int widthDpi = workWidth * kBaseDpi / std::max(1, width);
    const int heightDpi = workHeight * kBaseDpi / std::max(1, height);
    return std::max(kSmallestFittingDpi, std::min({dpi, widthDpi, heightDpi}));
}

}  // namespace quorva
