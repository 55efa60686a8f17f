#include "register/core/statistics/bar_chart_layout.h"

#include <algorithm>

namespace quorva {

namespace {

constexpr std::int64_t kRoundSteps[] = {1, 2, 5};
constexpr std::int64_t kDecade = 10;
// A label may take this share of the width, in percent; longer ones are cut.
constexpr int kLabelSharePercent = 40;
// A bar fills this share of its band, in percent.
constexpr int kBarSharePercent = 70;
constexpr int kMostTicks = 10;
constexpr int kMostBarLines = 2;

int Scaled(std::int64_t value, std::int64_t top, int length)
{
    return static_cast<int>(value * length / top);
}

}  // namespace

AxisScale RoundAxis(std::int64_t largest, int mostTicks)
{
    largest = std::max<std::int64_t>(largest, 1);
    mostTicks = std::max(mostTicks, 1);
    for (std::int64_t power = 1;; power *= kDecade) {
        for (const std::int64_t round : kRoundSteps) {
            const std::int64_t step = round * power;
            const std::int64_t ticks = (largest + step - 1) / step;
            if (ticks <= mostTicks) return {step, ticks * step};
        }
    }
}

BarChartLayout LayOutBarChart(const std::vector<std::int64_t>& values, const ChartBox& area,
                              const ChartMetrics& metrics)
{
    const int gap = metrics.gap;
    const int labelWidth = std::min(metrics.labelWidth, (area.right - area.left) * kLabelSharePercent / 100);
    BarChartLayout layout;
    ChartBox& plot = layout.plot;
    plot.left = area.left + gap + labelWidth + gap;
    plot.right = std::max(plot.left + 1, area.right - gap - metrics.valueWidth - gap);
    plot.top = area.top + gap;
    plot.bottom = std::max(plot.top + 1, area.bottom - gap - metrics.textHeight - gap);
    const int plotWidth = plot.right - plot.left;

    const std::int64_t largest = values.empty() ? 0 : *std::max_element(values.begin(), values.end());
    const int tickRoom = std::max(1, metrics.valueWidth + 2 * gap);
    layout.scale = RoundAxis(largest, std::clamp(plotWidth / tickRoom, 1, kMostTicks));
    for (std::int64_t tick = 0; tick <= layout.scale.top; tick += layout.scale.step) {
        layout.tickX.push_back(plot.left + Scaled(tick, layout.scale.top, plotWidth));
    }

    const int count = static_cast<int>(values.size());
    const int height = plot.bottom - plot.top;
    for (int i = 0; i < count; ++i) {
        const int top = plot.top + height * i / count;
        const int bottom = plot.top + height * (i + 1) / count;
        const int thickness = std::clamp((bottom - top) * kBarSharePercent / 100, 1,
                                         std::max(1, metrics.textHeight * kMostBarLines));
        const int barTop = top + (bottom - top - thickness) / 2;
        layout.bands.push_back({area.left, top, area.right, bottom});
        layout.labels.push_back({area.left + gap, top, area.left + gap + labelWidth, bottom});
        layout.bars.push_back({plot.left, barTop, plot.left + Scaled(values[static_cast<std::size_t>(i)],
                                                                      layout.scale.top, plotWidth),
                               barTop + thickness});
    }
    return layout;
}

int GroupAt(const BarChartLayout& layout, int x, int y)
{
    for (std::size_t i = 0; i < layout.bands.size(); ++i) {
        const ChartBox& band = layout.bands[i];
        if (x >= band.left && x < band.right && y >= band.top && y < band.bottom) return static_cast<int>(i);
    }
    return -1;
}

}  // namespace quorva
