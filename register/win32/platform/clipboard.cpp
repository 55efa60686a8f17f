#include "register/win32/platform/clipboard.h"

namespace {

class OpenClipboardScope {
public:
    explicit OpenClipboardScope(HWND owner) : open_(OpenClipboard(owner) != FALSE) {}
    ~OpenClipboardScope()
    {
        if (open_) CloseClipboard();
    }
    OpenClipboardScope(const OpenClipboardScope&) = delete;
    OpenClipboardScope& operator=(const OpenClipboardScope&) = delete;
    explicit operator bool() const { return open_; }

private:
    bool open_;
};

// A global memory block locked for reading.
class LockedBlock {
public:
    explicit LockedBlock(HANDLE block) : block_(block), data_(block ? GlobalLock(block) : nullptr) {}
    ~LockedBlock()
    {
        if (data_) GlobalUnlock(block_);
    }
    LockedBlock(const LockedBlock&) = delete;
    LockedBlock& operator=(const LockedBlock&) = delete;
    const void* data() const { return data_; }
    std::size_t size() const { return data_ ? GlobalSize(block_) : 0; }

private:
    HANDLE block_;
    void* data_;
};

}  // namespace

std::wstring ClipboardText(HWND owner)
{
    const OpenClipboardScope clipboard(owner);
    if (!clipboard) return {};
    const LockedBlock block(GetClipboardData(CF_UNICODETEXT));
    if (!block.data()) return {};
    // The text ends at its first NUL or at the end of the block.
    const auto* text = static_cast<const wchar_t*>(block.data());
    const std::size_t most = block.size() / sizeof(wchar_t);
    std::size_t length = 0;
    while (length < most && text[length] != L'\0') ++length;
    return std::wstring(text, length);
}
