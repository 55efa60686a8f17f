#pragma once

#include <cstdint>
#include <vector>

// Where the parts of the statistics' bar chart go: one horizontal bar per
// group, its label on the left and its count at its end, and under them an
// axis of round numbers. In pixels of the window, at whatever DPI it has;
// the painter only measures text and draws.
namespace quorva {

struct ChartBox {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// Ticks at 0, step, 2·step, … top, the step 1, 2 or 5 times a power of ten.
struct AxisScale {
    std::int64_t step = 1;
    std::int64_t top = 1;
};
// The smallest round step that reaches `largest` in at most `mostTicks`
// steps.
AxisScale RoundAxis(std::int64_t largest, int mostTicks);

// What the painter measured, in pixels.
struct ChartMetrics {
    // A bar is at most two lines of text thick, however few the groups.
    int textHeight = 0;
    // The widest group label and the widest count, as drawn.
    int labelWidth = 0;
    int valueWidth = 0;
    int gap = 0;
};

struct BarChartLayout {
    // Bars grow rightwards from plot.left; the tick labels stand under it.
    ChartBox plot;
    AxisScale scale;
    std::vector<int> tickX;
    // Per group: its band across the whole width (what a click hits), its
    // label and its bar.
    std::vector<ChartBox> bands;
    std::vector<ChartBox> labels;
    std::vector<ChartBox> bars;
};

BarChartLayout LayOutBarChart(const std::vector<std::int64_t>& values, const ChartBox& area,
                              const ChartMetrics& metrics);

// The group whose band holds the point, or -1.
int GroupAt(const BarChartLayout& layout, int x, int y);

}  // namespace quorva
