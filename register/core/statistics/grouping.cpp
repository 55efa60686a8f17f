#include "register/core/statistics/grouping.h"

#include <algorithm>
#include <map>
#include <stdexcept>

#include "register/core/search/search_form.h"

namespace quorva {

namespace {

constexpr int kMonthsInYear = 12;
constexpr std::int64_t kTenthsOfPercent = 1000;

using G = Grouping;

StatisticsGroup GroupOf(const KeyCount& count)
{
    return {count.key.empty() ? kEmptyLabel : count.key, count.count, {count.key}};
}

// Largest first; among equals, the order of the keys' bytes, the same on
// every store.
std::vector<StatisticsGroup> ByCount(std::vector<KeyCount> counts)
{
    std::sort(counts.begin(), counts.end(), [](const KeyCount& a, const KeyCount& b) {
        return a.count != b.count ? a.count > b.count : a.key < b.key;
    });
    std::vector<StatisticsGroup> groups;
    for (const KeyCount& count : counts) groups.push_back(GroupOf(count));
    return groups;
}

std::vector<StatisticsGroup> TopAndOther(std::vector<StatisticsGroup> groups, std::size_t top)
{
    if (groups.size() <= top) return groups;
    StatisticsGroup other{kOtherLabel, 0, {}, true};
    for (std::size_t i = 0; i < groups.size(); ++i) {
        if (i < top) other.keys.push_back(groups[i].keys.front());
        else other.count += groups[i].count;
    }
    groups.resize(top);
    groups.push_back(std::move(other));
    return groups;
}

// A group for each preset label, gathering the keys that `belongs` gives
// it; the keys of no preset follow by count.
template <typename Belongs>
std::vector<StatisticsGroup> PresetGroups(const std::vector<std::string>& presets, const std::vector<KeyCount>& counts,
                                          Belongs belongs)
{
    std::vector<StatisticsGroup> groups;
    for (const std::string& preset : presets) groups.push_back({preset, 0, {}});
    std::vector<KeyCount> rest;
    for (const KeyCount& count : counts) {
        const auto preset = std::find_if(presets.begin(), presets.end(),
                                         [&](const std::string& p) { return belongs(count.key, p); });
        if (preset == presets.end()) {
            rest.push_back(count);
            continue;
        }
        StatisticsGroup& group = groups[static_cast<std::size_t>(preset - presets.begin())];
        group.count += count.count;
        group.keys.push_back(count.key);
    }
    for (StatisticsGroup& group : groups) {
        if (group.keys.empty()) group.keys.push_back(group.label);
    }
    for (StatisticsGroup& group : ByCount(rest)) groups.push_back(std::move(group));
    return groups;
}

bool SameKey(const std::string& key, const std::string& preset)
{
    return key == preset;
}

// A classification is its level followed by its term: "秘密5年" is 秘密.
bool OfLevel(const std::string& key, const std::string& level)
{
    return key.compare(0, level.size(), level) == 0;
}

constexpr std::size_t kMonthKeyLength = 6;  // yyyymm

CivilDate NextMonth(const CivilDate& month)
{
    if (month.month == kMonthsInYear) return {month.year + 1, 1, 1};
    return {month.year, month.month + 1, 1};
}

std::string MonthKey(const CivilDate& month)
{
    return month.ToCompact().substr(0, kMonthKeyLength);
}

// Every month of the period, then any key that names none of them.
std::vector<StatisticsGroup> MonthGroups(const StatisticsPeriod& period, const std::vector<KeyCount>& counts)
{
    std::map<std::string, std::int64_t> byKey;
    for (const KeyCount& count : counts) byKey[count.key] += count.count;
    const DateBounds bounds = BoundsOf(period);
    const std::string lastKey = bounds.last.substr(0, kMonthKeyLength);
    std::vector<StatisticsGroup> groups;
    for (CivilDate month = *ParseCompactDate(bounds.first); MonthKey(month) <= lastKey; month = NextMonth(month)) {
        const std::string key = MonthKey(month);
        const auto found = byKey.find(key);
        groups.push_back({std::to_string(month.year) + "年" + std::to_string(month.month) + "月",
                          found == byKey.end() ? 0 : found->second, {key}});
        if (found != byKey.end()) byKey.erase(found);
    }
    for (const auto& [key, count] : byKey) groups.push_back(GroupOf({key, count}));
    return groups;
}

std::vector<StatisticsGroup> HandlingGroups(const std::vector<KeyCount>& counts, bool overdueKnown)
{
    struct State {
        const char* key;
        const char* label;
    };
    std::vector<State> states = {{kFinishedKey, "已办结"}, {kUnfinishedKey, "未办结"}};
    if (overdueKnown) states.push_back({kOverdueKey, "超期未办结"});
    std::vector<StatisticsGroup> groups;
    for (const State& state : states) {
        StatisticsGroup group{state.label, 0, {state.key}};
        for (const KeyCount& count : counts) {
            if (count.key == state.key) group.count += count.count;
        }
        groups.push_back(std::move(group));
    }
    return groups;
}

std::vector<StatisticsGroup> Groups(Grouping grouping, const StatisticsPeriod& period,
                                    const std::vector<KeyCount>& counts, bool overdueKnown)
{
    switch (grouping) {
    case G::Month: return MonthGroups(period, counts);
    case G::Sender: return TopAndOther(ByCount(counts), kTopSenders);
    case G::Classification: return PresetGroups(SearchPresetItems(SearchPreset::Classifications), counts, OfLevel);
    case G::Urgency: return PresetGroups(SearchPresetItems(SearchPreset::Urgencies), counts, SameKey);
    case G::HandlingState: return HandlingGroups(counts, overdueKnown);
    case G::DocumentType:
    case G::EnteredBy: break;
    }
    return ByCount(counts);
}

}  // namespace

const std::array<GroupingChoice, kGroupingCount> kGroupings = {{
    {G::Month, "按月份", "月份"},
    {G::DocumentType, "按文种", "文种"},
    {G::Sender, "按来文单位", "来文单位"},
    {G::Classification, "按秘密等级", "秘密等级"},
    {G::Urgency, "按紧急程度", "紧急程度"},
    {G::HandlingState, "按办理状态", "办理状态"},
    {G::EnteredBy, "按录入人", "录入人"},
}};

const GroupingChoice& ChoiceOf(Grouping grouping)
{
    for (const GroupingChoice& choice : kGroupings) {
        if (choice.grouping == grouping) return choice;
    }
    throw std::invalid_argument("no such grouping");
}

StatisticsTable GroupCounts(Grouping grouping, const StatisticsPeriod& period, const std::vector<KeyCount>& counts,
                            bool overdueKnown)
{
    StatisticsTable table;
    for (const KeyCount& count : counts) table.total += count.count;
    table.groups = Groups(grouping, period, counts, overdueKnown);
    return table;
}

std::string ShareText(std::int64_t count, std::int64_t total)
{
    if (total <= 0) total = 1;
    const std::int64_t tenths = (count * kTenthsOfPercent * 2 + total) / (total * 2);
    return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + "%";
}

std::vector<StatisticsRow> StatisticsRows(const StatisticsTable& table)
{
    std::vector<StatisticsRow> rows;
    for (const StatisticsGroup& group : table.groups) {
        rows.push_back({group.label, std::to_string(group.count), ShareText(group.count, table.total)});
    }
    rows.push_back({kTotalLabel, std::to_string(table.total), ShareText(table.total, table.total)});
    return rows;
}

}  // namespace quorva
