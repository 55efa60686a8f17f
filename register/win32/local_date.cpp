#include "register/win32/local_date.h"

#include <windows.h>

quorva::CivilDate LocalToday()
{
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return quorva::CivilDate{now.wYear, now.wMonth, now.wDay};
}
