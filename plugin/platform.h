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

// Exported by the configuration manager but declared by no header here.
extern "C" DWORD WINAPI CMP_WaitNoPendingInstallEvents(DWORD timeoutMs);
