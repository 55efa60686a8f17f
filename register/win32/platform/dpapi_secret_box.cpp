#include "register/win32/platform/dpapi_secret_box.h"

#include <windows.h>
#include <wincrypt.h>

#include <cstring>
#include <memory>
#include <stdexcept>

namespace {

const char* const kHexDigits = "0123456789abcdef";

// The output of the protection calls, which the system allocated.
struct LocalBlob {
    DATA_BLOB blob{};
    ~LocalBlob() { LocalFree(blob.pbData); }
};

DATA_BLOB BlobOf(const std::string& bytes)
{
    return DATA_BLOB{static_cast<DWORD>(bytes.size()),
                     reinterpret_cast<BYTE*>(const_cast<char*>(bytes.data()))};
}

std::optional<std::string> FromHex(const std::string& text)
{
    if (text.size() % 2 != 0) return std::nullopt;
    std::string bytes;
    for (std::size_t i = 0; i < text.size(); i += 2) {
        const char* high = std::strchr(kHexDigits, text[i]);
        const char* low = std::strchr(kHexDigits, text[i + 1]);
        if (!high || !low || !*high || !*low) return std::nullopt;
        bytes += static_cast<char>(((high - kHexDigits) << 4) | (low - kHexDigits));
    }
    return bytes;
}

}  // namespace

std::string DpapiSecretBox::Seal(const std::string& secret)
{
    DATA_BLOB in = BlobOf(secret);
    LocalBlob out;
    if (!CryptProtectData(&in, L"Quorva", nullptr, nullptr, nullptr, CRYPTPROTECT_UI_FORBIDDEN, &out.blob)) {
        throw std::runtime_error("无法加密保存数据库服务器的密码（错误 " + std::to_string(GetLastError()) + "）");
    }
    std::string hex;
    for (DWORD i = 0; i < out.blob.cbData; ++i) {
        hex += kHexDigits[out.blob.pbData[i] >> 4];
        hex += kHexDigits[out.blob.pbData[i] & 0xF];
    }
    return hex;
}

std::optional<std::string> DpapiSecretBox::Unseal(const std::string& sealed)
{
    const std::optional<std::string> bytes = FromHex(sealed);
    if (!bytes) return std::nullopt;
    DATA_BLOB in = BlobOf(*bytes);
    LocalBlob out;
    if (!CryptUnprotectData(&in, nullptr, nullptr, nullptr, nullptr, CRYPTPROTECT_UI_FORBIDDEN, &out.blob)) {
        return std::nullopt;
    }
    return std::string(reinterpret_cast<const char*>(out.blob.pbData), out.blob.cbData);
}
