#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "register/core/records/document_statements.h"
#include "register/core/shell/prompter.h"
#include "register/core/text/civil_date.h"

// The search dialog TForm2 as the search command sees it, and the rows it
// builds conditions from.
namespace quorva {

inline constexpr const char* kSearchCaption = "请选择查询条件（可多选）";
inline constexpr const char* kNothingFoundText = "未查询到符合条件的数据记录!";
inline constexpr const char* kNothingFoundCaption = "找不到记录";

// The items of every mode drop-down, in this order; no selection is -1.
inline constexpr std::array<const char*, 3> kSearchModeItems = {"匹配查询", "模糊查询", "不查询"};
inline constexpr int kNoSearchMode = -1;

enum class SearchValueKind { Edit, Digits, DropDown, OneLineMemo };
enum class SearchPreset { None, DocumentTypes, Classifications, Urgencies, YesNo, PersonnelNames };

// `column` is none for the deadline row: a record's deadline is its own or
// the one its urgency gives, so it is matched as the result is listed.
struct SearchRow {
    const char* label;
    std::optional<Column> column;
    SearchValueKind kind;
    SearchPreset preset;
};

inline constexpr int kSearchRowCount = 26;
inline constexpr int kDeadlineSearchRow = 25;
// In the order the conditions are built (not the order on screen).
extern const std::array<SearchRow, kSearchRowCount> kSearchRows;

// What one row holds when the dialog is confirmed: the mode drop-down's
// selected index and the value control's text, UTF-8, untrimmed.
struct SearchInput {
    int mode = kNoSearchMode;
    std::string value;
};
using SearchInputs = std::array<SearchInput, kSearchRowCount>;

// One term per column row whose mode is exact or fuzzy, in build order.
std::vector<SearchTerm> BuildSearchTerms(const SearchInputs& inputs);

// The deadline row's condition, matched against a deadline's yyyymmdd text
// (empty for none) as the statements match a column's text.
struct DeadlineTerm {
    SearchMode mode;
    std::string value;
};
std::optional<DeadlineTerm> BuildDeadlineTerm(const SearchInputs& inputs);
bool Matches(const DeadlineTerm& term, const std::optional<CivilDate>& deadline);

const std::vector<std::string>& SearchPresetItems(SearchPreset preset);

// The ASCII digits of a text, in order: what a digits-only row keeps of a paste.
std::string DigitsOf(const std::string& text);

class SearchDialog {
public:
    virtual ~SearchDialog() = default;
    // True when the dialog closed with "确定".
    virtual bool ShowModal() = 0;
    // The rows as they stood when it closed, in build order.
    virtual SearchInputs Inputs() const = 0;
};

class SearchDialogFactory {
public:
    virtual ~SearchDialogFactory() = default;
    // The personnel-name drop-downs are filled from the names list file.
    virtual std::unique_ptr<SearchDialog> CreateSearchDialog(const std::string& namesListPath, Prompter& prompter) = 0;
};

}  // namespace quorva
