#pragma once

#include <string>

#include "register/core/records/document_statements.h"

namespace quorva {

// The display filters of the main window's filter row.
enum class FilterBox {
    Unsubmitted,  // CheckBox1 "仅显示未呈批"
    Submitted,    // CheckBox5 "仅显示已呈批"
    Unfinished,   // CheckBox2 "仅显示未办结"
    Finished,     // CheckBox3 "仅显示已办结"
    RecentOnly,   // CheckBox4 "仅显示最近…天收文记录"
    OverdueOnly,  // "仅显示超期未办结"
};

inline constexpr const char* kDefaultRecentDays = "10";

class FilterState {
public:
    bool IsTicked(FilterBox box) const;
    // Ticking one box of a pair unticks the other.
    void SetTicked(FilterBox box, bool ticked);

    const std::string& days() const { return days_; }
    // The days box never stays empty: an empty text becomes "0".
    void SetDays(const std::string& text);

    FlagFilter ApprovalFilter() const;
    FlagFilter FinishedFilter() const;

private:
    bool unsubmitted_ = false;
    bool submitted_ = false;
    bool unfinished_ = false;
    bool finished_ = false;
    bool recentOnly_ = false;
    bool overdueOnly_ = false;
    std::string days_ = kDefaultRecentDays;
};

// The days box takes only digits and backspace from the keyboard.
bool IsDaysKeyAccepted(char16_t key);

}  // namespace quorva
