#include "register/core/statistics/overdue.h"

namespace quorva {

std::optional<SqlStatement> OverdueCondition(const StoreDialect&, const CivilDate&)
{
    return std::nullopt;
}

}  // namespace quorva
