#include "register/core/deadlines/deadline_book.h"

#include "register/core/deadlines/deadline_settings.h"

namespace quorva {

std::optional<CivilDate> DeadlineBook::Own(std::int64_t id) const
{
    const auto found = own_.find(id);
    if (found == own_.end()) return std::nullopt;
    return found->second;
}

void DeadlineBook::SetOwn(std::int64_t id, const std::optional<CivilDate>& deadline)
{
    if (deadline) {
        own_[id] = *deadline;
    } else {
        own_.erase(id);
    }
}

std::optional<CivilDate> DeadlineBook::DeadlineOf(std::int64_t id, const std::string& swrq,
                                                  const std::string& jjcd) const
{
    return RecordDeadline(Own(id), swrq, jjcd, days_);
}

DeadlineBook ReadDeadlineBook(StoreConnection& store, const Settings& settings)
{
    return DeadlineBook(ReadOwnDeadlines(store), ReadDeadlineDays(settings));
}

}  // namespace quorva
