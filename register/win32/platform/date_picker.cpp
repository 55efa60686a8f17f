#include "register/win32/platform/date_picker.h"

#include <commctrl.h>

void ShowPickerDate(HWND picker, const quorva::CivilDate& date)
{
    SYSTEMTIME time{};
    time.wYear = static_cast<WORD>(date.year);
    time.wMonth = static_cast<WORD>(date.month);
    time.wDay = static_cast<WORD>(date.day);
    DateTime_SetSystemtime(picker, GDT_VALID, &time);
}

quorva::CivilDate PickedDate(HWND picker)
{
    SYSTEMTIME time{};
    DateTime_GetSystemtime(picker, &time);
    return {time.wYear, time.wMonth, time.wDay};
}
