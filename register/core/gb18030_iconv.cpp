// GB18030 conversion for the portable build, through iconv.
#include <iconv.h>

#include <cerrno>
#include <stdexcept>

#include "register/core/text_encoding.h"

namespace {

const char kReplacementUtf8[] = "\xEF\xBF\xBD";

class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from))
    {
        if (cd_ == reinterpret_cast<iconv_t>(-1)) {
            throw std::runtime_error(std::string("No conversion from ") + from + " to " + to);
        }
    }
    ~Converter() { iconv_close(cd_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts all of input; a byte iconv cannot take becomes `replacement`
    // and the conversion goes on after it.
    std::string Convert(std::string_view input, std::string_view replacement)
    {
        std::string out;
        char buffer[4096];
        char* in = const_cast<char*>(input.data());
        std::size_t inLeft = input.size();
        while (inLeft > 0) {
            char* outPtr = buffer;
            std::size_t outLeft = sizeof buffer;
            const std::size_t rc = iconv(cd_, &in, &inLeft, &outPtr, &outLeft);
            out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
            if (rc != static_cast<std::size_t>(-1)) continue;
            if (errno == E2BIG) continue;
            // EILSEQ or EINVAL: skip the byte that does not convert.
            out.append(replacement);
            ++in;
            --inLeft;
            iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        }
        return out;
    }

private:
    iconv_t cd_;
};

}  // namespace

std::string Utf8ToGb18030(std::string_view utf8)
{
    // Normalising first turns malformed UTF-8 into U+FFFD, which GB18030 has.
    const std::string clean = Utf16ToUtf8(Utf8ToUtf16(utf8));
    return Converter("GB18030", "UTF-8").Convert(clean, "?");
}

std::string Gb18030ToUtf8(std::string_view gb18030)
{
    return Converter("UTF-8", "GB18030").Convert(gb18030, kReplacementUtf8);
}
