#pragma once

#include <windows.h>

#include "register/core/text/civil_date.h"

// A date picker without a tick box, read and set as a calendar date.
void ShowPickerDate(HWND picker, const quorva::CivilDate& date);
quorva::CivilDate PickedDate(HWND picker);
