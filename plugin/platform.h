#pragma once

// The platform headers the plug-in needs, in the one order that compiles:
// the HID headers of mingw-w64 declare their functions without C linkage.
#include <windows.h>

#include <dbt.h>
#include <mmsystem.h>
#include <setupapi.h>
#include <wtsapi32.h>

extern "C" {
#include <hidsdi.h>
#include <hidpi.h>
}

// The 32-bit library is what today's service loads; the 64-bit one carries
// the same records, with kernel and window handles in 32-bit fields.
constexpr bool kIs32BitBuild = sizeof(void*) == 4;

// Exported by the configuration manager but declared by no header here.
extern "C" DWORD WINAPI CMP_WaitNoPendingInstallEvents(DWORD timeoutMs);
