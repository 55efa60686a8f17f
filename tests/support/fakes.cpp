#include "tests/support/fakes.h"

#include <stdexcept>
#include "register/core/barcode/unstored_scans.h"

std::string MemoryProfileStore::Read(const std::string& file, const std::string& section, const std::string& key,
                                     const std::string& fallback) const
{
    const auto found = entries.find({file, section, key});
    return found == entries.end() ? fallback : found->second;
}

void MemoryProfileStore::Write(const std::string& file, const std::string& section, const std::string& key,
                               const std::string& value)
{
    if (readOnly) throw std::runtime_error("Unable to write to " + file);
    entries[{file, section, key}] = value;
}

bool MemoryProfileStore::Has(const std::string& file, const std::string& key) const
{
    for (const auto& entry : entries) {
        if (std::get<0>(entry.first) == file && std::get<2>(entry.first) == key) return true;
    }
    return false;
}

bool FakeFileSystem::CreateFolders(const std::string& path)
{
    if (folders.count(path)) return true;
    for (const std::string& root : creatableRoots) {
        if (path.rfind(root, 0) == 0) {
            folders.insert(path);
            return true;
        }
    }
    return false;
}

bool FakeFileSystem::FileExists(const std::string& path) const
{
    return files.count(path) > 0;
}

void FakeFileSystem::CreateEmptyFile(const std::string& path)
{
    files[path] = "";
}

bool FakeFileSystem::AppendToFile(const std::string& path, const std::string& bytes)
{
    return folders.count(quorva::FolderOf(path)) && (files[path] += bytes, true);
}

quorva::PromptAnswer ScriptedPrompter::Show(const std::string& text, const std::string& caption,
                                            quorva::PromptIcon icon, quorva::PromptButtons buttons)
{
    shown.push_back({text, caption, icon, buttons});
    if (answers.empty()) return buttons == quorva::PromptButtons::Ok ? quorva::PromptAnswer::Ok : quorva::PromptAnswer::Yes;
    const quorva::PromptAnswer answer = answers.front();
    answers.erase(answers.begin());
    return answer;
}
