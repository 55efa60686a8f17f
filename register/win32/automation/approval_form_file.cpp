#include "register/win32/automation/approval_form_file.h"

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <stdexcept>

#include "register/core/automation/form_template.h"
#include "register/core/text/text_encoding.h"
#include "register/win32/automation/ole_exception.h"
#include "register/win32/automation/written_file_shell.h"
#include "register/win32/platform/win32_file_system.h"

namespace {

// Enough for any number of forms of one document on one day.
constexpr int kMostNameAttempts = 10000;

struct FileClose {
    void operator()(HANDLE file) const { CloseHandle(file); }
};
using FileHandle = std::unique_ptr<void, FileClose>;

[[noreturn]] void ThrowFileError(const std::string& what, const std::string& path, DWORD error)
{
    throw std::runtime_error(what + "“" + path + "”：" + SystemText(static_cast<HRESULT>(error)));
}

std::string ReadTemplate(const std::string& path)
{
    std::ifstream file(std::filesystem::u8path(path), std::ios::binary);
    if (!file) throw std::runtime_error("无法读取呈批表模板“" + path + "”");
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

// 0, or the system's error code.
DWORD WriteAll(HANDLE file, const std::string& contents)
{
    DWORD written = 0;
    if (!WriteFile(file, contents.data(), static_cast<DWORD>(contents.size()), &written, nullptr)) return GetLastError();
    return written == contents.size() ? ERROR_SUCCESS : ERROR_WRITE_FAULT;
}

// Created only where no file of that name is, so no earlier form, nor one
// another clerk is writing into a shared folder at the same moment, is ever
// overwritten.
std::string SaveUnderFreeName(const std::string& folder, const quorva::FilledForm& form,
                              const std::string& receiptNumber, const quorva::CivilDate& received)
{
    if (!Win32FileSystem().CreateFolders(folder)) ThrowFileError("无法创建文件夹", folder, GetLastError());
    for (int attempt = 1; attempt <= kMostNameAttempts; ++attempt) {
        const std::string path = folder + "\\" + quorva::FilledFormName(receiptNumber, received, form.extension, attempt);
        HANDLE created = CreateFileW(Widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                     FILE_ATTRIBUTE_NORMAL, nullptr);
        if (created == INVALID_HANDLE_VALUE) {
            const DWORD error = GetLastError();
            if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) continue;
            ThrowFileError("无法写入呈批表", path, error);
        }
        FileHandle file(created);
        const DWORD error = WriteAll(file.get(), form.contents);
        if (error == ERROR_SUCCESS) return path;
        // No half-written form is left for the clerk to print.
        file.reset();
        DeleteFileW(Widen(path).c_str());
        ThrowFileError("无法写入呈批表", path, error);
    }
    ThrowFileError("无法写入呈批表", folder, ERROR_FILE_EXISTS);
}

}  // namespace

bool FillApprovalFormFile(const quorva::EntryDialog& dialog, const std::string& templatePath,
                          const std::string& formsFolder, quorva::Prompter& prompter,
                          const quorva::DeadlineDays& days)
{
    quorva::FilledForm form;
    try {
        form = quorva::FillFormTemplate(ReadTemplate(templatePath), quorva::ApprovalFormFills(dialog, days));
    } catch (const quorva::UnfillableTemplateError& e) {
        prompter.Show(e.what(), quorva::kApplicationTitle, quorva::PromptIcon::None, quorva::PromptButtons::Ok);
        return false;
    }
    ShowWrittenFile(SaveUnderFreeName(formsFolder, form, dialog.Text(quorva::EntryField::eswzh),
                                      dialog.Date(quorva::EntryField::eswrq)));
    return true;
}
