#include "register/core/entry/entry_form_presenter.h"

#include "register/core/records/document_statements.h"
#include "register/core/entry/pick_list.h"
#include "register/core/entry/register_numbers.h"
#include "register/core/records/reference_number.h"
#include "register/core/shell/startup.h"
#include "register/core/storage/file_store.h"
#include "register/store/sqlite_table.h"

namespace quorva {

namespace {

const EntryField kHighlightable[] = {EntryField::elwdw, EntryField::ewh, EntryField::ebwh, EntryField::eswzh,
                                     EntryField::ewjbt};

const struct {
    EntryField field;
    const char* message;
} kRequired[] = {
    {EntryField::elwdw, "注意：来文单位不能为空！"},
    {EntryField::ewh, "注意：来文字号不能为空！"},
    {EntryField::ewjbt, "注意：来文标题不能为空！"},
};

const struct {
    EntryField field;
    Column column;
    bool checkedWhenEmpty;
    const char* question;
} kDuplicateChecks[] = {
    {EntryField::ewh, Column::wh, true, "来文字号已存在于数据库！您确认要创建新的数据记录吗？"},
    {EntryField::eswzh, Column::swzh, false, "收文编号已存在于数据库！您确认要创建新的数据记录吗？"},
    {EntryField::ebwh, Column::bwh, false, "办文编号已存在于数据库！您确认要创建新的数据记录吗？"},
};

// The reference number in its normal form, whatever its spelling; the
// receipt and handling numbers as typed.
bool IsStored(StoreConnection& db, Column column, const std::string& value)
{
    if (column == Column::wh) return !FindReference(db, value).empty();
    return db.Query(DuplicateStatement(column, value))->CountRows() > 0;
}

}  // namespace

EntryFormPresenter::EntryFormPresenter(EntryFormView& view, const EntryDialogContext& context,
                                       PickListEditorFactory& editors)
    : view_(view), context_(context), editors_(editors)
{
}

std::string EntryFormPresenter::ListPath(PickList list) const
{
    return context_.settingsPath + (list == PickList::Names ? kNameListSuffix : kAgencyListSuffix);
}

void EntryFormPresenter::LoadPickLists()
{
    const std::vector<std::string> names = ReadPickList(ListPath(PickList::Names));
    view_.SetItems(EntryField::elrr, names);
    view_.SetItems(EntryField::ecpr, names);
    view_.SetItems(EntryField::eswzh1, ReadPickList(ListPath(PickList::AgencyCodes)));
}

bool EntryFormPresenter::Button4Click()
{
    for (EntryField field : kHighlightable) view_.SetHighlighted(field, false);
    if (!RequiredFieldsFilled()) return false;
    if (view_.Caption() == kEditRecordCaption) {
        return context_.prompter.Show(kConfirmEditQuestion, kConfirmEditCaption, PromptIcon::Warning,
                                      PromptButtons::YesNo) != PromptAnswer::No;
    }
    if (context_.proposals) RenewTakenProposals();
    return DuplicatesAccepted();
}

void EntryFormPresenter::RenewTakenProposals()
{
    std::string note;
    for (const auto& [field, name] : {std::pair{EntryField::eswzh, "收文号"}, std::pair{EntryField::ebwh, "办文号"}}) {
        const std::string shown = view_.Text(field);
        // A number the clerk typed is theirs, and the duplicate check asks about it.
        if (shown.empty() || shown != context_.proposals->LastProposed(field)) continue;
        const std::string fresh = context_.proposals->Propose(field);
        if (fresh.empty() || fresh == shown) continue;
        view_.SetText(field, fresh);
        note += TakenNumberNote(name, shown, fresh);
    }
    if (!note.empty()) view_.ShowNote(note);
}

bool EntryFormPresenter::RequiredFieldsFilled()
{
    for (const auto& required : kRequired) {
        if (!view_.Text(required.field).empty()) continue;
        view_.SetHighlighted(required.field, true);
        view_.Focus(required.field);
        context_.prompter.Show(required.message, kApplicationTitle, PromptIcon::None, PromptButtons::Ok);
        return false;
    }
    return true;
}

bool EntryFormPresenter::Ask(EntryField field, const char* question, const char* caption)
{
    view_.SetHighlighted(field, true);
    view_.Focus(field);
    return context_.prompter.Show(question, caption, PromptIcon::Warning, PromptButtons::YesNo) != PromptAnswer::No;
}

bool EntryFormPresenter::DuplicatesAccepted()
{
    const std::unique_ptr<StoreConnection> db = context_.store ? context_.store->Open()
                                                               : std::make_unique<FileStoreConnection>(context_.databasePath);
    if (!db->HasTable(kTableName)) return true;
    for (const auto& check : kDuplicateChecks) {
        const std::string value = view_.Text(check.field);
        if (value.empty() && !check.checkedWhenEmpty) continue;
        if (!IsStored(*db, check.column, value)) continue;
        if (!Ask(check.field, check.question, kDuplicateCaption)) return false;
    }
    return true;
}

void EntryFormPresenter::Button10Click()
{
    EditList(PickList::Names);
}

void EntryFormPresenter::Button6Click()
{
    EditList(PickList::AgencyCodes);
}

void EntryFormPresenter::EditList(PickList list)
{
    const std::string path = ListPath(list);
    std::string text = JoinLines(ReadPickList(path));
    if (!editors_.CreateEditor(list)->Edit(text)) return;
    const std::vector<std::string> entries = SplitLines(text);
    WritePickList(path, entries);
    if (list == PickList::Names) {
        view_.SetItems(EntryField::elrr, entries);
        view_.SetItems(EntryField::ecpr, entries);
    } else {
        view_.SetItems(EntryField::eswzh1, entries);
    }
}

}  // namespace quorva
