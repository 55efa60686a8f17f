#include "register/win32/platform/local_date.h"

#include <windows.h>

#include <cstdio>

quorva::CivilDate LocalToday()
{
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return quorva::CivilDate{now.wYear, now.wMonth, now.wDay};
}

std::string LocalDateTimeText()
{
    SYSTEMTIME now{};
    GetLocalTime(&now);
    char text[32];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", now.wYear, now.wMonth, now.wDay, now.wHour,
                  now.wMinute, now.wSecond);
    return text;
}
