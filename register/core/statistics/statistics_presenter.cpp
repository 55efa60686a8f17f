#include "register/core/statistics/statistics_presenter.h"

#include "register/core/records/document_table.h"
#include "register/core/shell/main_window_presenter.h"
#include "register/core/deadlines/deadline_settings.h"
#include "register/core/deadlines/deadline_table.h"
#include "register/core/statistics/overdue.h"
#include "register/core/storage/store.h"
#include "register/store/sqlite_table.h"

namespace quorva {

namespace {

std::vector<KeyCount> CountsOf(const TSQLiteTable& result)
{
    std::vector<KeyCount> counts(static_cast<std::size_t>(result.CountRows()));
    for (int row = 0; row < result.CountRows(); ++row) {
        KeyCount& count = counts[static_cast<std::size_t>(row)];
        result.AppendTextOf(row, 0, count.key);
        count.count = result.Int64Of(row, 1);
    }
    return counts;
}

}  // namespace

StatisticsPresenter::StatisticsPresenter(StatisticsView& view, MainWindowPresenter& main)
    : view_(view), main_(main), period_{PeriodKind::Year, main.today(), main.today()}
{
}

void StatisticsPresenter::ChoosePeriod(const StatisticsPeriod& period)
{
    period_ = period;
    Count();
}

void StatisticsPresenter::ChoosePeriodKind(PeriodKind kind)
{
    StatisticsPeriod period = period_;
    if (kind == PeriodKind::Range) {
        const DateBounds bounds = BoundsOf(period_);
        period.from = *ParseCompactDate(bounds.first);
        period.to = *ParseCompactDate(bounds.last);
    }
    period.kind = kind;
    ChoosePeriod(period);
}

void StatisticsPresenter::ChooseGrouping(Grouping grouping)
{
    grouping_ = grouping;
    Count();
}

void StatisticsPresenter::Count()
{
    const std::unique_ptr<StoreConnection> connection = main_.store().Open();
    EnsureDeadlineTable(*connection);
    Counted counted{period_,
                    {grouping_, BoundsOf(period_), OverdueCondition(main_.today(), ReadDeadlineDays(main_.settings()))},
                    {}};
    std::vector<KeyCount> counts;
    if (connection->HasTable(kTableName)) counts = CountsOf(*connection->Query(CountStatement(counted.scope)));
    counted.table = GroupCounts(grouping_, period_, counts, counted.scope.overdue.has_value());
    shown_ = std::move(counted);
    if (shown_.table.total == 0) {
        view_.ShowNotice(kEmptyPeriodNotice);
        return;
    }
    const std::string summary = PeriodText(shown_.period) + "共收文 " + std::to_string(shown_.table.total) + " 件";
    view_.ShowTable(shown_.table, StatisticsRows(shown_.table), summary);
}

void StatisticsPresenter::RowClick(std::size_t row)
{
    const std::vector<StatisticsGroup>& groups = shown_.table.groups;
    if (row > groups.size()) return;
    const StatisticsGroup* group = row < groups.size() ? &groups[row] : nullptr;
    if ((group ? group->count : shown_.table.total) == 0) return;
    main_.ShowQueryResult(
        [&](const StoreDialect& dialect) { return GroupRecordsStatement(dialect, shown_.scope, group); });
}

SheetTable StatisticsPresenter::Sheet() const
{
    const GroupingChoice& choice = ChoiceOf(shown_.scope.grouping);
    SheetTable sheet{std::string(kApplicationTitle) + kStatisticsCaption + "：" + PeriodText(shown_.period) + "，" +
                         choice.item,
                     {choice.heading, kCountHeading, kShareHeading},
                     {}};
    for (const StatisticsRow& row : StatisticsRows(shown_.table)) sheet.rows.push_back({row.label, row.count, row.share});
    return sheet;
}

std::string StatisticsPresenter::ChartFileName() const
{
    return std::string(kStatisticsCaption) + "-" + PeriodText(shown_.period) + "-" +
           ChoiceOf(shown_.scope.grouping).item + ".png";
}

}  // namespace quorva
