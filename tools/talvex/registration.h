#pragma once

#include <string>

namespace talvex {

// The class, its ProgID and the type library with its interfaces, written
// for this program's own path; the local server is started with the
// plug-in's path on its command line.
bool RegisterServer(const std::wstring& plugInPath);
bool UnregisterServer();

// The program's own path and the plug-in it loads by default: Pellion.dll
// beside it.
std::wstring ProgramPath();
std::wstring DefaultPlugInPath();

}  // namespace talvex
