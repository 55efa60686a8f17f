#include "register/core/statistics/statistics_statements.h"

#include "register/core/records/document_table.h"
#include "register/core/storage/store.h"

namespace quorva {

namespace {

constexpr std::size_t kYearLength = 4;
constexpr std::size_t kMonthLength = 2;

void Append(SqlStatement& statement, const SqlStatement& part)
{
    statement.text += part.text;
    statement.values.insert(statement.values.end(), part.values.begin(), part.values.end());
}

std::string Placeholders(std::size_t count)
{
    std::string text;
    for (std::size_t i = 0; i < count; ++i) text += i == 0 ? "?" : ",?";
    return text;
}

// "yyyy-mm-dd", the form older registers also stored.
std::string Dashed(const std::string& compact)
{
    return compact.substr(0, kYearLength) + "-" + compact.substr(kYearLength, kMonthLength) + "-" +
           compact.substr(kYearLength + kMonthLength);
}

// Both stored forms of 收文日期, each compared as it sorts.
SqlStatement PeriodCondition(const DateBounds& bounds)
{
    return {"(swrq BETWEEN ? AND ? OR swrq BETWEEN ? AND ?)",
            {bounds.first, bounds.last, Dashed(bounds.first), Dashed(bounds.last)}};
}

SqlStatement TextKey(Column column)
{
    return {std::string("coalesce(") + ColumnName(column) + ",'')", {}};
}

SqlStatement HandlingStateKey(const std::optional<SqlStatement>& overdue)
{
    SqlStatement key{std::string("CASE WHEN ybj='") + kYes + "' THEN '" + kFinishedKey + "'", {}};
    if (overdue) {
        key.text += " WHEN ";
        Append(key, *overdue);
        key.text += std::string(" THEN '") + kOverdueKey + "'";
    }
    key.text += std::string(" ELSE '") + kUnfinishedKey + "' END";
    return key;
}

SqlStatement GroupKey(const CountScope& scope)
{
    switch (scope.grouping) {
    case Grouping::Month: return {"substr(replace(swrq,'-',''),1,6)", {}};
    case Grouping::DocumentType: return TextKey(Column::wz);
    case Grouping::Sender: return TextKey(Column::lwdw);
    case Grouping::Classification: return TextKey(Column::mmdj);
    case Grouping::Urgency: return TextKey(Column::jjcd);
    case Grouping::HandlingState: return HandlingStateKey(scope.overdue);
    case Grouping::EnteredBy: break;
    }
    return TextKey(Column::lrr);
}

SqlStatement GroupCondition(const CountScope& scope, const StatisticsGroup& group)
{
    if (group.allOtherKeys && group.keys.empty()) return {};
    SqlStatement condition{" and ", {}};
    Append(condition, GroupKey(scope));
    condition.text += (group.allOtherKeys ? " NOT IN (" : " IN (") + Placeholders(group.keys.size()) + ")";
    condition.values.insert(condition.values.end(), group.keys.begin(), group.keys.end());
    return condition;
}

}  // namespace

SqlStatement CountStatement(const CountScope& scope)
{
    // The key's own values come before the period's, as the text has them;
    // "GROUP BY 1" spares repeating them.
    SqlStatement statement{"SELECT ", {}};
    Append(statement, GroupKey(scope));
    statement.text += std::string(" AS k, count(*) AS n FROM ") + kTableName + " WHERE ";
    Append(statement, PeriodCondition(scope.bounds));
    statement.text += " GROUP BY 1";
    return statement;
}

SqlStatement GroupRecordsStatement(const StoreDialect& dialect, const CountScope& scope,
                                   const StatisticsGroup* group)
{
    SqlStatement statement{std::string("SELECT * FROM ") + kTableName + " WHERE ", {}};
    Append(statement, PeriodCondition(scope.bounds));
    if (group) Append(statement, GroupCondition(scope, *group));
    statement.text += dialect.RecordOrder();
    return statement;
}

}  // namespace quorva
