#pragma once

// The system's ODBC on Windows (odbc32), unixODBC elsewhere: both speak the
// same C interface with two-byte SQLWCHAR.
#ifdef _WIN32
#include <windows.h>
#endif
#include <sql.h>
#include <sqlext.h>

static_assert(sizeof(SQLWCHAR) == sizeof(char16_t), "ODBC wide text is UTF-16");
