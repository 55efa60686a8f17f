#pragma once

#include "plugin/host/plugin.h"
#include "plugin/host/trace.h"

// The four functions the scanner service calls, with C linkage and the C
// calling convention (the caller removes the arguments).
extern "C" {
int __cdecl GetPlugInName(char* name);
int __cdecl Init(HWND hostWindow, pellion::ScannerRecord* scanners, int* count);
int __cdecl SendCommand(DWORD_PTR device, pellion::CommandBlock command, pellion::CommandResult* result);
void __cdecl SetLoggingConfiguration(const pellion::LoggingConfiguration* configuration);
}
