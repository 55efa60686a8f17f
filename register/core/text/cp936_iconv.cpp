// Code page 936 for the portable build, through iconv.
#include <iconv.h>

#include <stdexcept>

#include "register/core/text/gb18030_codec.h"

namespace {

class IconvHandle {
public:
    IconvHandle(const char* to, const char* from) : cd_(iconv_open(to, from))
    {
        if (cd_ == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("code page 936 is not available");
    }
    ~IconvHandle() { iconv_close(cd_); }
    IconvHandle(const IconvHandle&) = delete;
    IconvHandle& operator=(const IconvHandle&) = delete;

    // Converts one unit completely, or reports that it cannot.
    bool Convert(const char* in, std::size_t inSize, char* out, std::size_t outSize, std::size_t& written) const
    {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char* inPtr = const_cast<char*>(in);
        char* outPtr = out;
        std::size_t inLeft = inSize;
        std::size_t outLeft = outSize;
        const std::size_t rc = iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft);
        written = outSize - outLeft;
        return rc != static_cast<std::size_t>(-1) && inLeft == 0;
    }

private:
    iconv_t cd_;
};

class IconvCodePage936 final : public CodePage936 {
public:
    std::optional<char16_t> Decode(std::uint8_t lead, std::uint8_t trail) const override
    {
        const char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
        char out[4];
        std::size_t written = 0;
        if (!toUtf16_.Convert(in, sizeof in, out, sizeof out, written) || written != 2) return std::nullopt;
        return static_cast<char16_t>(static_cast<std::uint8_t>(out[0]) | static_cast<std::uint8_t>(out[1]) << 8);
    }

    std::optional<std::uint16_t> Encode(char16_t character) const override
    {
        const char in[2] = {static_cast<char>(character & 0xFF), static_cast<char>(character >> 8)};
        char out[4];
        std::size_t written = 0;
        if (!fromUtf16_.Convert(in, sizeof in, out, sizeof out, written) || written != 2) return std::nullopt;
        return static_cast<std::uint16_t>(static_cast<std::uint8_t>(out[0]) << 8 | static_cast<std::uint8_t>(out[1]));
    }

private:
    IconvHandle toUtf16_{"UTF-16LE", "CP936"};
    IconvHandle fromUtf16_{"CP936", "UTF-16LE"};
};

}  // namespace

std::unique_ptr<CodePage936> OpenCodePage936()
{
    return std::make_unique<IconvCodePage936>();
}
