#pragma once

#include <windows.h>

#include <string>

// The clipboard's text; empty when it holds none or is held by another
// program.
std::wstring ClipboardText(HWND owner);
