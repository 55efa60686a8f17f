#include "register/win32/platform/png_file.h"

#include <objidl.h>
#include <gdiplus.h>

#include <cstdlib>
#include <cwchar>
#include <memory>
#include <stdexcept>
#include <vector>

#include "register/core/text/text_encoding.h"

namespace {

const wchar_t* const kPngMimeType = L"image/png";
const char* const kNotSaved = "无法保存图片：";

// GDI+ is started for one save and shut down again on every path.
class GdiplusSession {
public:
    GdiplusSession()
    {
        const Gdiplus::GdiplusStartupInput input;
        if (Gdiplus::GdiplusStartup(&token_, &input, nullptr) != Gdiplus::Ok) token_ = 0;
    }
    ~GdiplusSession()
    {
        if (token_) Gdiplus::GdiplusShutdown(token_);
    }
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;
    bool started() const { return token_ != 0; }

private:
    ULONG_PTR token_ = 0;
};

bool FindPngEncoder(CLSID& encoder)
{
    UINT count = 0;
    UINT bytes = 0;
    if (Gdiplus::GetImageEncodersSize(&count, &bytes) != Gdiplus::Ok || bytes == 0) return false;
    std::vector<unsigned char> buffer(bytes);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    if (Gdiplus::GetImageEncoders(count, bytes, codecs) != Gdiplus::Ok) return false;
    for (UINT i = 0; i < count; ++i) {
        if (std::wcscmp(codecs[i].MimeType, kPngMimeType) == 0) {
            encoder = codecs[i].Clsid;
            return true;
        }
    }
    return false;
}

}  // namespace

HBITMAP CreatePictureBitmap(HDC dc, int width, int height)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down, as GDI+ reads rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    return CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
}

void SaveBitmapAsPng(HBITMAP bitmap, const std::string& path)
{
    const GdiplusSession session;
    CLSID encoder{};
    if (!session.started() || !FindPngEncoder(encoder)) throw std::runtime_error(kNotSaved + path);
    DIBSECTION section{};
    if (GetObjectW(bitmap, sizeof section, &section) != sizeof section) throw std::runtime_error(kNotSaved + path);
    const BITMAP& pixels = section.dsBm;
    GdiFlush();
    // The image reads the section's pixels in place, and must be gone
    // before GDI+ shuts down.
    const auto image = std::make_unique<Gdiplus::Bitmap>(pixels.bmWidth, std::abs(pixels.bmHeight), pixels.bmWidthBytes,
                                                         PixelFormat32bppRGB, static_cast<BYTE*>(pixels.bmBits));
    if (image->GetLastStatus() != Gdiplus::Ok || image->Save(Widen(path).c_str(), &encoder, nullptr) != Gdiplus::Ok) {
        throw std::runtime_error(kNotSaved + path);
    }
}
