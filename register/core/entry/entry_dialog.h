#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "register/core/deadlines/deadline_rule.h"
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
    eblsx,   // 办理时限, after every other control: the record's own deadline, yyyymmdd or empty for none
};

// The fixed items of the drop-downs whose values the register relies on.
inline constexpr const char* kClassificationLevels[] = {"秘密", "机密", "绝密"};
inline constexpr const char* kSecrecyPeriods[] = {"1年", "2年", "3年", "5年", "10年", "20年", "30年", "长期"};
inline constexpr const char* kUrgencies[] = {"平急", "加急", "特急", "特提"};

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
    // A picker without a date shows none until the clerk picks one.
    virtual void ClearDate(EntryField field) = 0;
    virtual bool HasDate(EntryField field) const = 0;
    // True when the dialog closed with OK.
    virtual bool ShowModal() = 0;
};

class Store;

// The numbers a new record's dialog proposes. On a register shared through a
// server another clerk may take a proposed number before 确定; the dialog
// then asks again rather than warning of a duplicate.
class NumberProposals {
public:
    virtual ~NumberProposals() = default;
    // The next number for 收文号 (eswzh) or 办文号 (ebwh); "" for none.
    virtual std::string Propose(EntryField field) = 0;
    // What Propose last gave for the field.
    virtual std::string LastProposed(EntryField field) const = 0;
};

// What a dialog needs to know of the program that opens it.
struct EntryDialogContext {
    std::string databasePath;
    std::string settingsPath;
    Prompter& prompter;
    // The approval-form template (settings key MB).
    std::string templatePath = {};
    // Where the duplicate checks look; the file at databasePath when none.
    Store* store = nullptr;
    // For a new record on a shared register: proposals to renew at 确定.
    NumberProposals* proposals = nullptr;
    // What the urgencies give, for the deadline the dialog shows unset.
    DeadlineDays deadlineDays = {};
    // The edited record, whose history "修改记录" shows; none for a new one.
    std::int64_t recordId = 0;
};

class EntryDialogFactory {
public:
    virtual ~EntryDialogFactory() = default;
    virtual std::unique_ptr<EntryDialog> CreateEntryDialog(const EntryDialogContext& context) = 0;
};

}  // namespace quorva
