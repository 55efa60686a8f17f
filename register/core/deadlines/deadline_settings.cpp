#include "register/core/deadlines/deadline_settings.h"

#include <algorithm>

namespace quorva {

namespace {

const char* const kAbsent = "-";

}  // namespace

DeadlineDays ReadDeadlineDays(const Settings& settings)
{
    DeadlineDays days;
    for (std::size_t i = 0; i < kTimedUrgencies.size(); ++i) {
        const std::string text = settings.ReadText(keys::kDeadlineDays[i], kAbsent);
        if (text != kAbsent) days.days[i] = DeadlineDaysFrom(text);
    }
    return days;
}

void WriteDeadlineDays(Settings& settings, const DeadlineDays& days)
{
    for (std::size_t i = 0; i < kTimedUrgencies.size(); ++i) {
        settings.WriteText(keys::kDeadlineDays[i], DeadlineDaysText(days.days[i]));
    }
}

std::string DeadlineDaysText(int days)
{
    return days > 0 ? std::to_string(days) : std::string();
}

int DeadlineDaysFrom(const std::string& text)
{
    constexpr long long kMostDays = 9999;
    long long days = 0;
    if (!ParseWholeNumber(text, days) || days < 0) return 0;
    return static_cast<int>(std::min(days, kMostDays));
}

}  // namespace quorva
