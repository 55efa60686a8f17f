#pragma once

#include "register/core/civil_date.h"

// Today's date on this computer's clock and time zone.
quorva::CivilDate LocalToday();
