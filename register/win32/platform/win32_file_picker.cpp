#include "register/win32/platform/win32_file_picker.h"

#include <commdlg.h>
#include <objbase.h>
#include <shlobj.h>

#include "register/core/text/text_encoding.h"

namespace {

// The folder browser wants COM on its thread; this keeps it there for the
// one call.
class ComScope {
public:
    ComScope() : initialized_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~ComScope()
    {
        if (initialized_) CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    bool initialized_;
};

class ItemIdList {
public:
    explicit ItemIdList(PIDLIST_ABSOLUTE list) : list_(list) {}
    ~ItemIdList() { CoTaskMemFree(list_); }
    ItemIdList(const ItemIdList&) = delete;
    ItemIdList& operator=(const ItemIdList&) = delete;
    PIDLIST_ABSOLUTE get() const { return list_; }

private:
    PIDLIST_ABSOLUTE list_;
};

// Filters are pairs of NUL-ended texts, the whole ended by one more NUL.
std::optional<std::string> OpenExistingFile(HWND owner, const std::wstring& filters, const wchar_t* folder,
                                            DWORD extraFlags)
{
    wchar_t path[MAX_PATH] = {};
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filters.c_str();
    dialog.lpstrFile = path;
    dialog.nMaxFile = MAX_PATH;
    dialog.lpstrInitialDir = folder;
    dialog.Flags = OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_EXPLORER | extraFlags;
    if (!GetOpenFileNameW(&dialog)) return std::nullopt;
    return Narrow(path);
}

}  // namespace

std::optional<std::string> Win32FilePicker::PickFolder(const std::string& caption)
{
    const ComScope com;
    const std::wstring title = Widen(caption);
    BROWSEINFOW browse{};
    browse.hwndOwner = owner_;
    browse.lpszTitle = title.c_str();
    browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    const ItemIdList chosen(SHBrowseForFolderW(&browse));
    if (!chosen.get()) return std::nullopt;
    wchar_t path[MAX_PATH] = {};
    if (!SHGetPathFromIDListW(chosen.get(), path)) return std::nullopt;
    return Narrow(path);
}

std::optional<std::string> Win32FilePicker::PickBackupFile()
{
    return OpenExistingFile(owner_, std::wstring(L"*.bak\0*.bak\0", 12), nullptr, 0);
}

std::optional<std::string> Win32FilePicker::PickTemplateFile()
{
    const std::wstring filters = Widen("Word文档") + L'\0' + L"*.doc;*.docx;*.rtf" + L'\0' + Widen("WPS文档") + L'\0' +
                                 L"*.wps" + L'\0' + L'\0';
    return OpenExistingFile(owner_, filters, L"D:\\Quorva\\", OFN_NOCHANGEDIR);
}

std::unique_ptr<quorva::FilePicker> SystemFilePickerFor(HWND owner)
{
    return std::make_unique<Win32FilePicker>(owner);
}
