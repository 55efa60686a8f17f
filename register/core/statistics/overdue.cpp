#include "register/core/statistics/overdue.h"

#include "register/core/deadlines/deadline_table.h"

namespace quorva {

namespace {

// Deadlines are stored and derived as yyyymmdd, whose text orders as the
// dates do; anything of another length is no date.
const char* const kIsCompactDate = "length(%s) = 8";

std::string Compact(const char* column)
{
    std::string text = kIsCompactDate;
    return text.replace(text.find("%s"), 2, column);
}

}  // namespace

SqlStatement OverdueCondition(const CivilDate& today, const DeadlineDays& days)
{
    const std::string own = std::string("SELECT ID FROM ") + kDeadlineTable + " WHERE " + Compact("blsx");
    SqlStatement condition{"(ID IN (" + own + " AND blsx < ?))", {today.ToCompact()}};
    // A derived deadline has passed when the document was received more
    // than its urgency's days before today.
    std::string derived;
    for (std::size_t u = 0; u < kTimedUrgencies.size(); ++u) {
        if (days.days[u] <= 0) continue;
        derived += std::string(derived.empty() ? "" : " OR ") + "(jjcd = ? AND swrq < ?)";
        condition.values.emplace_back(std::string(kTimedUrgencies[u]));
        condition.values.emplace_back(CivilDate::FromDayNumber(today.DayNumber() - days.days[u]).ToCompact());
    }
    if (!derived.empty()) {
        condition.text += " OR (ID NOT IN (" + own + ") AND " + Compact("swrq") + " AND (" + derived + "))";
    }
    condition.text = "(" + condition.text + ")";
    return condition;
}

}  // namespace quorva
