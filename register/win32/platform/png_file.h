#pragma once

#include <windows.h>

#include <string>

// A 32-bit top-down DIB section for drawing on, whose pixels GDI+ can read
// as they are.
HBITMAP CreatePictureBitmap(HDC dc, int width, int height);

// Writes a bitmap made by CreatePictureBitmap as a PNG file through GDI+,
// which every Windows since 7 has. Raises with the path in the message when
// the file cannot be written.
void SaveBitmapAsPng(HBITMAP bitmap, const std::string& path);
