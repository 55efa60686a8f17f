#include "tests/win32/scanner_emulator.h"

namespace {

constexpr UINT kCodePage936 = 936;

void Send(INPUT input, DWORD gapMs)
{
    SendInput(1, &input, sizeof input);
    Sleep(gapMs);
}

void Key(WORD vk, bool up, DWORD gapMs)
{
    INPUT input{INPUT_KEYBOARD};
    input.ki.wVk = vk;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    Send(input, gapMs);
}

void Press(WORD vk, DWORD gapMs)
{
    Key(vk, false, gapMs);
    Key(vk, true, gapMs);
}

void Packet(wchar_t unit, DWORD gapMs)
{
    INPUT input{INPUT_KEYBOARD};
    input.ki.wScan = unit;
    for (DWORD flags : {KEYEVENTF_UNICODE, KEYEVENTF_UNICODE | KEYEVENTF_KEYUP}) {
        input.ki.dwFlags = flags;
        Send(input, gapMs);
    }
}

void Ascii(wchar_t c, bool capsLock, DWORD gapMs)
{
    const SHORT key = VkKeyScanW(c);
    const bool shift = (HIBYTE(key) & 1) != (capsLock && IsCharAlphaW(c));
    if (shift) Key(VK_SHIFT, false, gapMs);
    Press(LOBYTE(key), gapMs);
    if (shift) Key(VK_SHIFT, true, gapMs);
}

}  // namespace

void SendAltCode(wchar_t character, DWORD gapMs)
{
    unsigned char bytes[2] = {};
    const int size = WideCharToMultiByte(kCodePage936, 0, &character, 1, reinterpret_cast<char*>(bytes), 2, nullptr,
                                         nullptr);
    const unsigned code = size == 2 ? bytes[0] << 8 | bytes[1] : bytes[0];
    Key(VK_MENU, false, gapMs);
    for (char digit : std::to_string(code)) Press(static_cast<WORD>(VK_NUMPAD0 + (digit - '0')), gapMs);
    Key(VK_MENU, true, gapMs);
}

void SendScan(const std::wstring& text, ScannerMode mode, ScanSuffix suffix, DWORD gapMs)
{
    const bool capsLock = mode == ScannerMode::CapsLockKeys;
    if (capsLock) Press(VK_CAPITAL, gapMs);
    for (wchar_t c : text) {
        if (mode == ScannerMode::Unicode) {
            Packet(c, gapMs);
        } else if (c < 0x80) {
            Ascii(c, capsLock, gapMs);
        } else {
            SendAltCode(c, gapMs);
        }
    }
    if (suffix == ScanSuffix::Cr || suffix == ScanSuffix::CrLf) Press(VK_RETURN, gapMs);
    if (suffix == ScanSuffix::Tab) Press(VK_TAB, gapMs);
    if (suffix == ScanSuffix::CrLf && mode == ScannerMode::Unicode) Packet(L'\n', gapMs);
    if (suffix == ScanSuffix::CrLf && mode != ScannerMode::Unicode) {
        Key(VK_CONTROL, false, gapMs);
        Press('J', gapMs);
        Key(VK_CONTROL, true, gapMs);
    }
    if (capsLock) Press(VK_CAPITAL, gapMs);
}
