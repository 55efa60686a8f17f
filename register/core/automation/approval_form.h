#pragma once

#include <string>
#include <utility>
#include <vector>

#include "register/core/deadlines/deadline_rule.h"
#include "register/core/text/civil_date.h"
#include "register/core/entry/entry_dialog.h"

// The approval form (呈批表): which placeholder of the template gets which
// value of the entry dialog, in the order they are filled.
namespace quorva {

inline constexpr const char* kTemplateMissingMessage = "指定的呈批表模板不存在，请在系统设置选定正确的路径！";
inline constexpr const char* kNoWordProcessorMessage = "亲，您的系统需要安装有Word或WPS来调用文档哦。";
// What an empty value is typed as, so the form keeps its blank.
inline constexpr const char* kEmptyValueText = "    ";
// Find.Wrap: go on from the start of the document.
inline constexpr int kFindWrapContinue = 1;
// homekey's unit: the whole document.
inline constexpr int kHomeKeyUnitStory = 6;

struct PlaceholderFill {
    std::string placeholder;
    std::string value;
};

// "yyyy.M.D", without leading zeros.
std::string ApprovalDate(const CivilDate& date);

// The 25 placeholders with the dialog's current values, in fill order, and
// last "$办理时限$" with the record's deadline (a template without it is
// filled as before); an empty value is already the four blanks.
std::vector<PlaceholderFill> ApprovalFormFills(const EntryDialog& dialog, const DeadlineDays& days = {});

// The stretches of the document typed by one placeholder's fill. A find
// that lands in one of them has come round to the text just typed, which
// can hold the placeholder itself: the fill is over.
class TypedStretches {
public:
    bool Overlaps(long start, long end) const;
    // Text [matchStart, matchEnd) was replaced by [matchStart, typedEnd).
    void Typed(long matchStart, long matchEnd, long typedEnd);

private:
    std::vector<std::pair<long, long>> stretches_;
};

}  // namespace quorva
