#pragma once

#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "register/core/shell/file_picker.h"
#include "register/core/shell/file_system.h"
#include "register/core/shell/profile_store.h"
#include "register/core/shell/prompter.h"
#include "register/core/shell/workstation.h"

// An INI store in memory, keyed by file, section and key.
class MemoryProfileStore : public ProfileStore {
public:
    std::string Read(const std::string& file, const std::string& section, const std::string& key,
                     const std::string& fallback) const override;
    void Write(const std::string& file, const std::string& section, const std::string& key,
               const std::string& value) override;

    bool Has(const std::string& file, const std::string& key) const;
    std::map<std::tuple<std::string, std::string, std::string>, std::string> entries;
    bool readOnly = false;  // writes raise, as for a read-only file
};

// A machine's folders: folders under one of `creatableRoots` can be made.
class FakeFileSystem : public FileSystem {
public:
    bool CreateFolders(const std::string& path) override;
    bool FileExists(const std::string& path) const override;
    void CreateEmptyFile(const std::string& path) override;
    // Only into a folder the machine has.
    bool AppendToFile(const std::string& path, const std::string& bytes) override;

    std::set<std::string> creatableRoots;
    std::set<std::string> folders;
    std::map<std::string, std::string> files;
};

// Records every message box and answers from a script (Yes when it runs out).
class ScriptedPrompter : public quorva::Prompter {
public:
    struct Shown {
        std::string text;
        std::string caption;
        quorva::PromptIcon icon;
        quorva::PromptButtons buttons;
    };
    quorva::PromptAnswer Show(const std::string& text, const std::string& caption, quorva::PromptIcon icon,
                              quorva::PromptButtons buttons) override;

    std::vector<Shown> shown;
    std::vector<quorva::PromptAnswer> answers;
};

// Picks what the test put in place, or nothing as a cancel does.
class ScriptedFilePicker : public quorva::FilePicker {
public:
    std::optional<std::string> PickFolder(const std::string&) override { return folder; }
    std::optional<std::string> PickBackupFile() override { return backupFile; }
    std::optional<std::string> PickTemplateFile() override { return templateFile; }

    std::optional<std::string> folder;
    std::optional<std::string> backupFile;
    std::optional<std::string> templateFile;
};

// The same clerk at the same machine, whatever the test.
class FixedWorkstation : public quorva::Workstation {
public:
    std::string UserName() const override { return "张三"; }
    std::string MachineName() const override { return "PC-01"; }
};
