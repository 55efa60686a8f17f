#pragma once

#include <array>
#include <string>
#include <vector>

#include "register/core/automation/sheet_table.h"
#include "register/core/statistics/grouping.h"
#include "register/core/statistics/statistics_statements.h"

// The behaviour of the statistics window "收文统计": it counts the records
// of a period by one grouping whenever either changes, and a click on a
// group lists that group's records in the main window.
namespace quorva {

class MainWindowPresenter;

inline constexpr const char* kStatisticsCaption = "收文统计";
inline constexpr const char* kEmptyPeriodNotice = "该时段内没有收文记录。";
inline constexpr const char* kCountHeading = "件数";
inline constexpr const char* kShareHeading = "占比";
// The period drop-down's items, in the order of PeriodKind.
inline constexpr std::array<const char*, 3> kPeriodKindItems = {"年度", "月份", "自定义时段"};

class StatisticsView {
public:
    virtual ~StatisticsView() = default;
    // The rows end with 合计; the chart shows the table's groups.
    virtual void ShowTable(const StatisticsTable& table, const std::vector<StatisticsRow>& rows,
                           const std::string& summary) = 0;
    // No table and no chart, only the notice.
    virtual void ShowNotice(const std::string& text) = 0;
};

class StatisticsPresenter {
public:
    // Starts on this year, by month; nothing is counted before Count.
    StatisticsPresenter(StatisticsView& view, MainWindowPresenter& main);

    const StatisticsPeriod& period() const { return period_; }
    Grouping grouping() const { return grouping_; }

    // Each counts again.
    void ChoosePeriod(const StatisticsPeriod& period);
    // Another kind keeps the days in view: a range starts as the period
    // shown, a year or a month is the one holding the first day.
    void ChoosePeriodKind(PeriodKind kind);
    void ChooseGrouping(Grouping grouping);
    void Count();

    // A row of the table (the last one, 合计, is the whole period) or a bar:
    // its records in the main window, in query mode. A group without
    // records does nothing.
    void RowClick(std::size_t row);

    // The table as exported, and a name for the chart's picture.
    SheetTable Sheet() const;
    std::string ChartFileName() const;

private:
    // What the window shows: the last count that succeeded.
    struct Counted {
        StatisticsPeriod period;
        CountScope scope;
        StatisticsTable table;
    };

    StatisticsView& view_;
    MainWindowPresenter& main_;
    StatisticsPeriod period_;
    Grouping grouping_ = Grouping::Month;
    Counted shown_;
};

}  // namespace quorva
