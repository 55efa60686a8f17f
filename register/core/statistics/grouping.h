#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "register/core/statistics/statistics_period.h"

// How the statistics group the records of a period, and the rules that turn
// the store's counts per key into the groups the clerk sees.
namespace quorva {

enum class Grouping { Month, DocumentType, Sender, Classification, Urgency, HandlingState, EnteredBy };

struct GroupingChoice {
    Grouping grouping;
    // The drop-down's item.
    const char* item;
    // The heading of the table's group column.
    const char* heading;
};
inline constexpr int kGroupingCount = 7;
// In the drop-down's order.
extern const std::array<GroupingChoice, kGroupingCount> kGroupings;
const GroupingChoice& ChoiceOf(Grouping grouping);

inline constexpr const char* kEmptyLabel = "（未填）";
inline constexpr const char* kOtherLabel = "其他";
inline constexpr const char* kTotalLabel = "合计";
inline constexpr std::size_t kTopSenders = 20;

// The store's keys for the handling states.
inline constexpr const char* kFinishedKey = "finished";
inline constexpr const char* kUnfinishedKey = "open";
inline constexpr const char* kOverdueKey = "overdue";

// One row of the store's GROUP BY.
struct KeyCount {
    std::string key;
    std::int64_t count = 0;
};

struct StatisticsGroup {
    std::string label;
    std::int64_t count = 0;
    // The store's keys the group gathers; for "其他", the keys it leaves
    // out, every other key being its own.
    std::vector<std::string> keys;
    bool allOtherKeys = false;
};

struct StatisticsTable {
    std::vector<StatisticsGroup> groups;
    std::int64_t total = 0;
};

// The groups of a period's counts. Months run through the whole period, zero
// or not; the preset classifications, urgencies and handling states always
// stand, in their usual order; the rest follow by count. `overdueKnown`:
// whether the register can tell an overdue record at all.
StatisticsTable GroupCounts(Grouping grouping, const StatisticsPeriod& period, const std::vector<KeyCount>& counts,
                            bool overdueKnown);

// A share to one decimal place, "12.5%".
std::string ShareText(std::int64_t count, std::int64_t total);

// The table as shown and exported: each group, then 合计.
struct StatisticsRow {
    std::string label;
    std::string count;
    std::string share;
};
std::vector<StatisticsRow> StatisticsRows(const StatisticsTable& table);

}  // namespace quorva
