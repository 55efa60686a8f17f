#pragma once

#include <string>
#include <string_view>

// The register keeps text as UTF-8 and converts only at its edges: UTF-16 at
// the window boundary, GB18030 for the pick-list files. GB18030 is the
// superset of code page 936 that can hold every character, so files written
// by older versions read unchanged and rare names survive.
//
// Malformed input never throws: each bad byte becomes U+FFFD, and the rest of
// the text is kept.
std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);
// The same, appended to `out`, for readers that convert many values into one
// buffer.
void AppendUtf16AsUtf8(std::u16string_view utf16, std::string& out);

std::string Utf8ToGb18030(std::string_view utf8);
std::string Gb18030ToUtf8(std::string_view gb18030);

#ifdef _WIN32
std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);
#endif
