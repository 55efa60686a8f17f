#pragma once

#include <cstddef>
#include <string>

namespace talvex {

// The class, its ProgID and the type library with its interfaces, written
// for this program's own path; the local server is started with the
// plug-in's path on its command line.
bool RegisterServer(const std::wstring& plugInPath);
bool UnregisterServer();

// How many event sinks are advised on the last service object, kept where a
// test can read it: HKEY_CURRENT_USER\<kStandInKey>, value kEventConnectionsValue.
inline constexpr const wchar_t* kStandInKey = L"Software\\TalvexStandIn";
inline constexpr const wchar_t* kEventConnectionsValue = L"EventConnections";
void PublishEventConnections(std::size_t count);

// The program's own path and the plug-in it loads by default: Pellion.dll
// beside it.
std::wstring ProgramPath();
std::wstring DefaultPlugInPath();

}  // namespace talvex
