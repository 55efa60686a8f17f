#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "register/core/statistics/statistics_presenter.h"
#include "register/win32/platform/gdi_handle.h"
#include "register/win32/platform/win32_prompter.h"
#include "register/win32/statistics/bar_chart.h"

namespace statistics_form {

// Controls of the statistics window, in their tab order; tests reach them
// through these.
enum ControlId : int {
    kPeriodKind = 301,  // 年度 / 月份 / 自定义时段
    kFrom,
    kTo,
    kGrouping,
    kRefresh,      // "刷新"
    kExportTable,  // "导出表格"
    kSaveChart,    // "保存图表"
    kTable,
    kChart,
    kPeriodLabel,
    kToLabel,
    kGroupingLabel,
    kSummary,
};

}  // namespace statistics_form

// "收文统计": a window of its own beside the main window, which stays usable
// while it is open. Its boxes are its own, and owned by it.
class TStatisticsForm final : public quorva::StatisticsView {
public:
    // Creates and shows the window over `owner`, counting this year by month.
    TStatisticsForm(HWND owner, quorva::MainWindowPresenter& main);
    ~TStatisticsForm() override;
    TStatisticsForm(const TStatisticsForm&) = delete;
    TStatisticsForm& operator=(const TStatisticsForm&) = delete;

    // Null once the clerk has closed it.
    HWND hwnd() const { return hwnd_; }
    HWND Control(int id) const { return GetDlgItem(hwnd_, id); }
    void BringToFront() const;
    void SaveChart(const std::string& path) const;

    void ShowTable(const quorva::StatisticsTable& table, const std::vector<quorva::StatisticsRow>& rows,
                   const std::string& summary) override;
    void ShowNotice(const std::string& text) override;

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    template <typename Command>
    void Guarded(Command&& command);

    void CreateControls();
    HWND AddControl(const wchar_t* className, const std::string& text, DWORD style, int id, DWORD exStyle = 0);
    void UpdateFonts();
    void Layout();
    int Scale(int pixels) const;

    void ShowPeriod();
    quorva::StatisticsPeriod PeriodShown() const;
    void OnCommand(int id, int code);
    LRESULT OnNotify(const NMHDR& header);
    void AskAndSaveChart();

    HWND hwnd_ = nullptr;
    quorva::MainWindowPresenter& main_;
    quorva::StatisticsPresenter presenter_;
    Win32Prompter prompter_;
    std::unique_ptr<BarChart> chart_;
    GdiHandle<HFONT> font_;
    int dpi_ = USER_DEFAULT_SCREEN_DPI;
    bool showingPeriod_ = false;
};
