#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "register/core/statistics/bar_chart_layout.h"
#include "register/win32/platform/gdi_handle.h"

// The statistics' bar chart, a child window that draws itself with GDI at
// its own size and DPI, and tells which group a click hit.
class BarChart {
public:
    BarChart(HWND parent, int id, std::function<void(int group)> onClick);
    BarChart(const BarChart&) = delete;
    BarChart& operator=(const BarChart&) = delete;

    HWND hwnd() const { return hwnd_; }
    void Show(std::vector<std::string> labels, std::vector<std::int64_t> values);
    // Instead of bars: a line of text in the middle.
    void ShowNotice(const std::string& text);
    // The chart as it stands on screen, as a PNG file.
    void SaveAsPng(const std::string& path) const;

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    GdiHandle<HBITMAP> Render(int width, int height) const;
    void Paint(HDC dc, const RECT& area) const;
    // With the chart's font selected into `dc`.
    quorva::ChartMetrics MetricsOf(HDC dc) const;
    quorva::BarChartLayout LayOut(const RECT& area, const quorva::ChartMetrics& metrics) const;
    void OnClick(POINT at) const;

    HWND hwnd_ = nullptr;
    std::function<void(int)> onClick_;
    std::vector<std::wstring> labels_;
    std::vector<std::wstring> valueTexts_;
    std::vector<std::int64_t> values_;
    std::wstring notice_;
};
