#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "register/core/deadlines/deadline_rule.h"
#include "register/core/deadlines/deadline_table.h"

// Each record's deadline: its own when the clerk set one, else the one its
// urgency gives. Records registered before deadlines existed, or written by
// other programs, get theirs the same way.
namespace quorva {

class Settings;
class StoreConnection;

class DeadlineBook {
public:
    DeadlineBook() = default;
    DeadlineBook(OwnDeadlines own, DeadlineDays days) : own_(std::move(own)), days_(days) {}

    std::optional<CivilDate> Own(std::int64_t id) const;
    void SetOwn(std::int64_t id, const std::optional<CivilDate>& deadline);
    std::optional<CivilDate> DeadlineOf(std::int64_t id, const std::string& swrq, const std::string& jjcd) const;
    const DeadlineDays& days() const { return days_; }

private:
    OwnDeadlines own_;
    DeadlineDays days_;
};

// The book as the store and the settings have it now.
DeadlineBook ReadDeadlineBook(StoreConnection& store, const Settings& settings);

}  // namespace quorva
