#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "register/core/text/civil_date.h"
#include "register/core/shell/prompter.h"

// The entry/edit dialog TForm1 as the commands that open it see it: they
// fill its controls, show it, and read the controls after an OK. The dialog
// itself never writes the database.
namespace quorva {

enum class EntryField {
    eswrq, eswzh, ebwh, emmdj1, emmdj2, elwdw, ewh, ewz, ejjcd, ewjbt, eybyj, eqzpx, ezgpx, efwrq,
    ezsdw, etmbh, etmzzdw, ezzrq, efbcq, elrr, eycp, ecpr, eybj, ecdh, ebljg, ebz,
    eswzh1,  // the hidden agency-code drop-down
};

inline constexpr const char* kNewRecordCaption = "收文录入";
inline constexpr const char* kEditRecordCaption = "编辑记录";

class EntryDialog {
public:
    virtual ~EntryDialog() = default;
    virtual void SetCaption(const std::string& caption) = 0;
    // Text is UTF-8; multi-line boxes separate lines with CR LF.
    virtual void SetText(EntryField field, const std::string& text) = 0;
    virtual std::string Text(EntryField field) const = 0;
    // Only the two date pickers, eswrq and efwrq, hold dates.
    virtual void SetDate(EntryField field, const CivilDate& date) = 0;
    virtual CivilDate Date(EntryField field) const = 0;
    // True when the dialog closed with OK.
    virtual bool ShowModal() = 0;
};

class Store;

// What a dialog needs to know of the program that opens it.
struct EntryDialogContext {
    std::string databasePath;
    std::string settingsPath;
    Prompter& prompter;
    // The approval-form template (settings key MB).
    std::string templatePath = {};
    // Where the duplicate checks look; the file at databasePath when none.
    Store* store = nullptr;
    // The edited record, whose history "修改记录" shows; none for a new one.
    std::int64_t recordId = 0;
};

class EntryDialogFactory {
public:
    virtual ~EntryDialogFactory() = default;
    virtual std::unique_ptr<EntryDialog> CreateEntryDialog(const EntryDialogContext& context) = 0;
};

}  // namespace quorva
