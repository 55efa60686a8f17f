#pragma once

#include <windows.h>

#include <string>

// A keyboard-wedge scanner as clerks own them: it types a barcode through
// SendInput in one of its output modes, one key event every `gapMs`.
enum class ScannerMode {
    Unicode,          // each character a Unicode keystroke
    KeysAndAltCodes,  // ASCII as keys with Shift, Chinese as Alt + code page 936 code on the keypad
    CapsLockKeys,     // as above with CapsLock on: capitals go without Shift
};
enum class ScanSuffix { Cr, CrLf, Tab, None };

void SendScan(const std::wstring& text, ScannerMode mode, ScanSuffix suffix, DWORD gapMs);

// Alt held, the character's code page 936 code on the keypad, Alt released.
void SendAltCode(wchar_t character, DWORD gapMs);
