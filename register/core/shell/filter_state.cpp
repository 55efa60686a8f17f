#include "register/core/shell/filter_state.h"

namespace quorva {

namespace {

constexpr char16_t kBackspace = 0x08;
const char* const kEmptyDays = "0";

}  // namespace

bool FilterState::IsTicked(FilterBox box) const
{
    switch (box) {
    case FilterBox::Unsubmitted: return unsubmitted_;
    case FilterBox::Submitted: return submitted_;
    case FilterBox::Unfinished: return unfinished_;
    case FilterBox::Finished: return finished_;
    case FilterBox::RecentOnly: return recentOnly_;
    case FilterBox::OverdueOnly: return overdueOnly_;
    }
    return false;
}

void FilterState::SetTicked(FilterBox box, bool ticked)
{
    switch (box) {
    case FilterBox::Unsubmitted:
        unsubmitted_ = ticked;
        if (ticked) submitted_ = false;
        break;
    case FilterBox::Submitted:
        submitted_ = ticked;
        if (ticked) unsubmitted_ = false;
        break;
    case FilterBox::Unfinished:
        unfinished_ = ticked;
        if (ticked) finished_ = false;
        break;
    case FilterBox::Finished:
        finished_ = ticked;
        if (ticked) unfinished_ = false;
        break;
    case FilterBox::RecentOnly:
        recentOnly_ = ticked;
        break;
    case FilterBox::OverdueOnly:
        overdueOnly_ = ticked;
        break;
    }
}

void FilterState::SetDays(const std::string& text)
{
    days_ = text.empty() ? kEmptyDays : text;
}

FlagFilter FilterState::ApprovalFilter() const
{
    if (unsubmitted_) return FlagFilter::OnlyNo;
    if (submitted_) return FlagFilter::OnlyYes;
    return FlagFilter::Any;
}

FlagFilter FilterState::FinishedFilter() const
{
    if (unfinished_) return FlagFilter::OnlyNo;
    if (finished_) return FlagFilter::OnlyYes;
    return FlagFilter::Any;
}

bool IsDaysKeyAccepted(char16_t key)
{
    return (key >= u'0' && key <= u'9') || key == kBackspace;
}

}  // namespace quorva
