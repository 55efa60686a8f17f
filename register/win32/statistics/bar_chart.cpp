#include "register/win32/statistics/bar_chart.h"

#include <algorithm>
#include <utility>

#include "register/core/text/text_encoding.h"
#include "register/win32/platform/dpi.h"
#include "register/win32/platform/png_file.h"

namespace {

using quorva::BarChartLayout;
using quorva::ChartBox;
using quorva::ChartMetrics;

const wchar_t* const kChartClass = L"TStatisticsChart";
constexpr int kGapPixels = 8;
constexpr COLORREF kBarColor = RGB(58, 110, 165);
constexpr COLORREF kGridColor = RGB(221, 221, 221);
constexpr COLORREF kAxisColor = RGB(96, 96, 96);
constexpr COLORREF kTextColor = RGB(0, 0, 0);
constexpr UINT kOneLine = DT_SINGLELINE | DT_NOPREFIX | DT_VCENTER;

// An object selected into a device context for one scope.
class Selection {
public:
    Selection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~Selection() { SelectObject(dc_, previous_); }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

class WindowDc {
public:
    explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDc() { ReleaseDC(window_, dc_); }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

class MemoryDc {
public:
    explicit MemoryDc(HDC like) : dc_(CreateCompatibleDC(like)) {}
    ~MemoryDc() { DeleteDC(dc_); }
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;
    HDC get() const { return dc_; }

private:
    HDC dc_;
};

GdiHandle<HFONT> ChartFont(HWND window)
{
    const LOGFONTW font = MessageFontForDpi(WindowDpi(window));
    return GdiHandle<HFONT>(CreateFontIndirectW(&font));
}

int TextWidth(HDC dc, const std::wstring& text)
{
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx;
}

int WidestOf(HDC dc, const std::vector<std::wstring>& texts)
{
    int widest = 0;
    for (const std::wstring& text : texts) widest = std::max(widest, TextWidth(dc, text));
    return widest;
}

RECT ToRect(const ChartBox& box)
{
    return RECT{box.left, box.top, box.right, box.bottom};
}

void DrawLine(HDC dc, int x1, int y1, int x2, int y2)
{
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
}

void DrawText(HDC dc, const std::wstring& text, RECT box, UINT format)
{
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box, format);
}

// Grid lines at the ticks, the two axes, and the tick values under the plot.
void DrawAxis(HDC dc, const BarChartLayout& layout, const ChartMetrics& metrics)
{
    const ChartBox& plot = layout.plot;
    const GdiHandle<HPEN> grid(CreatePen(PS_SOLID, 1, kGridColor));
    const GdiHandle<HPEN> axis(CreatePen(PS_SOLID, 1, kAxisColor));
    const int labelTop = plot.bottom + metrics.gap / 2;
    for (std::size_t i = 0; i < layout.tickX.size(); ++i) {
        const int x = layout.tickX[i];
        {
            const Selection pen(dc, grid.get());
            DrawLine(dc, x, plot.top, x, plot.bottom);
        }
        const std::wstring value = std::to_wstring(static_cast<std::int64_t>(i) * layout.scale.step);
        const int half = TextWidth(dc, value) / 2 + 1;
        DrawText(dc, value, RECT{x - half, labelTop, x + half, labelTop + metrics.textHeight}, DT_CENTER | kOneLine);
    }
    const Selection pen(dc, axis.get());
    DrawLine(dc, plot.left, plot.top, plot.left, plot.bottom);
    DrawLine(dc, plot.left, plot.bottom, plot.right, plot.bottom);
}

}  // namespace

BarChart::BarChart(HWND parent, int id, std::function<void(int)> onClick) : onClick_(std::move(onClick))
{
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW existing{sizeof existing};
    if (!GetClassInfoExW(instance, kChartClass, &existing)) {
        WNDCLASSEXW wc{sizeof wc};
        wc.style = CS_HREDRAW | CS_VREDRAW;
        wc.lpfnWndProc = WindowProc;
        wc.hInstance = instance;
        wc.hCursor = LoadCursorW(nullptr, IDC_HAND);
        wc.lpszClassName = kChartClass;
        RegisterClassExW(&wc);
    }
    CreateWindowExW(WS_EX_CLIENTEDGE, kChartClass, L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, parent,
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, this);
}

LRESULT CALLBACK BarChart::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* chart = static_cast<BarChart*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        chart->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(chart));
    }
    const auto* chart = reinterpret_cast<const BarChart*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        const HDC dc = BeginPaint(hwnd, &paint);
        RECT client{};
        GetClientRect(hwnd, &client);
        // Drawn off screen first, so a resize does not flicker.
        const GdiHandle<HBITMAP> picture = chart->Render(client.right, client.bottom);
        const MemoryDc memory(dc);
        const Selection selected(memory.get(), picture.get());
        BitBlt(dc, 0, 0, client.right, client.bottom, memory.get(), 0, 0, SRCCOPY);
        EndPaint(hwnd, &paint);
        return 0;
    }
    case WM_LBUTTONUP:
        chart->OnClick(POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
        return 0;
    case WM_NCDESTROY:
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        break;
    default:
        break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

void BarChart::Show(std::vector<std::string> labels, std::vector<std::int64_t> values)
{
    labels_.clear();
    valueTexts_.clear();
    for (const std::string& label : labels) labels_.push_back(Widen(label));
    for (const std::int64_t value : values) valueTexts_.push_back(std::to_wstring(value));
    values_ = std::move(values);
    notice_.clear();
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void BarChart::ShowNotice(const std::string& text)
{
    labels_.clear();
    valueTexts_.clear();
    values_.clear();
    notice_ = Widen(text);
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void BarChart::SaveAsPng(const std::string& path) const
{
    RECT client{};
    GetClientRect(hwnd_, &client);
    SaveBitmapAsPng(Render(client.right, client.bottom).get(), path);
}

GdiHandle<HBITMAP> BarChart::Render(int width, int height) const
{
    const WindowDc screen(hwnd_);
    GdiHandle<HBITMAP> picture(CreatePictureBitmap(screen.get(), std::max(width, 1), std::max(height, 1)));
    const MemoryDc memory(screen.get());
    const Selection selected(memory.get(), picture.get());
    Paint(memory.get(), RECT{0, 0, width, height});
    return picture;
}

quorva::ChartMetrics BarChart::MetricsOf(HDC dc) const
{
    TEXTMETRICW text{};
    GetTextMetricsW(dc, &text);
    ChartMetrics metrics;
    metrics.textHeight = text.tmHeight;
    metrics.labelWidth = WidestOf(dc, labels_);
    // The axis may end one digit beyond the largest count.
    metrics.valueWidth = WidestOf(dc, valueTexts_) + TextWidth(dc, L"0");
    metrics.gap = MulDiv(kGapPixels, static_cast<int>(WindowDpi(hwnd_)), USER_DEFAULT_SCREEN_DPI);
    return metrics;
}

quorva::BarChartLayout BarChart::LayOut(const RECT& area, const ChartMetrics& metrics) const
{
    return LayOutBarChart(values_, ChartBox{area.left, area.top, area.right, area.bottom}, metrics);
}

void BarChart::Paint(HDC dc, const RECT& area) const
{
    FillRect(dc, &area, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    const GdiHandle<HFONT> font = ChartFont(hwnd_);
    const Selection selected(dc, font.get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, kTextColor);
    if (values_.empty()) {
        DrawText(dc, notice_, area, DT_CENTER | kOneLine);
        return;
    }
    const ChartMetrics metrics = MetricsOf(dc);
    const BarChartLayout layout = LayOut(area, metrics);
    DrawAxis(dc, layout, metrics);
    const GdiHandle<HBRUSH> bar(CreateSolidBrush(kBarColor));
    for (std::size_t i = 0; i < values_.size(); ++i) {
        const RECT bounds = ToRect(layout.bars[i]);
        FillRect(dc, &bounds, bar.get());
        const ChartBox& band = layout.bands[i];
        DrawText(dc, valueTexts_[i], RECT{bounds.right + metrics.gap / 2, band.top, area.right, band.bottom},
                 DT_LEFT | kOneLine);
        DrawText(dc, labels_[i], ToRect(layout.labels[i]), DT_RIGHT | DT_END_ELLIPSIS | kOneLine);
    }
}

void BarChart::OnClick(POINT at) const
{
    if (values_.empty()) return;
    RECT client{};
    GetClientRect(hwnd_, &client);
    const WindowDc dc(hwnd_);
    const GdiHandle<HFONT> font = ChartFont(hwnd_);
    const Selection selected(dc.get(), font.get());
    const int group = quorva::GroupAt(LayOut(client, MetricsOf(dc.get())), at.x, at.y);
    if (group >= 0) onClick_(group);
}
