#pragma once

#include <string>

#include "register/core/text/civil_date.h"

// Today's date on this computer's clock and time zone.
quorva::CivilDate LocalToday();
// The local date and time as "yyyy-mm-dd hh:nn:ss".
std::string LocalDateTimeText();
