#pragma once

#include <string>
#include <vector>

#include "register/core/entry/entry_dialog.h"

namespace quorva {

// What the confirm handler and the pick-list buttons do with the dialog's
// controls.
class EntryFormView {
public:
    virtual ~EntryFormView() = default;
    virtual std::string Caption() const = 0;
    // A line beside the caption, for what the clerk should know without a box.
    virtual void ShowNote(const std::string& note) = 0;
    virtual std::string Text(EntryField field) const = 0;
    virtual void SetText(EntryField field, const std::string& text) = 0;
    // Red background for a refused field; false gives the normal colour back.
    virtual void SetHighlighted(EntryField field, bool highlighted) = 0;
    virtual void Focus(EntryField field) = 0;
    // The offered items of a drop-down; its text stays as it is.
    virtual void SetItems(EntryField field, const std::vector<std::string>& items) = 0;
};

// A pick-list editor (TForm20 or TForm18): shows the list's text and gives
// back the edited text when it closes with OK.
class PickListEditor {
public:
    virtual ~PickListEditor() = default;
    virtual bool Edit(std::string& text) = 0;
};

enum class PickList { Names, AgencyCodes };

class PickListEditorFactory {
public:
    virtual ~PickListEditorFactory() = default;
    virtual std::unique_ptr<PickListEditor> CreateEditor(PickList list) = 0;
};

inline constexpr const char* kDuplicateCaption = "数据重复警告";
inline constexpr const char* kConfirmEditCaption = "确认修改";
inline constexpr const char* kConfirmEditQuestion = "修改将覆盖原有记录，您确认要修改选定的记录吗？";

class EntryFormPresenter {
public:
    EntryFormPresenter(EntryFormView& view, const EntryDialogContext& context, PickListEditorFactory& editors);

    // At creation: the names list into 录入人 and 经办人, then the agency
    // codes into the hidden drop-down. Raises on a missing file, with the
    // lists loaded so far in place.
    void LoadPickLists();

    // 确定: true when the dialog may close with OK.
    bool Button4Click();
    // "..." beside 录入人 and 经办人: edit the names list.
    void Button10Click();
    // The hidden "..." beside the agency codes.
    void Button6Click();

private:
    bool RequiredFieldsFilled();
    void RenewTakenProposals();
    bool DuplicatesAccepted();
    bool Ask(EntryField field, const char* question, const char* caption);
    void EditList(PickList list);
    std::string ListPath(PickList list) const;

    EntryFormView& view_;
    EntryDialogContext context_;
    PickListEditorFactory& editors_;
};

}  // namespace quorva
