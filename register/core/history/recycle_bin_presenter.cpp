#include "register/core/history/recycle_bin_presenter.h"

#include "register/core/storage/store.h"
#include "register/store/sqlite_table.h"

namespace quorva {

namespace {

const char* const kSelectToRestore = "请选中要还原的记录！";
const char* const kSelectToPurge = "请选中要彻底删除的记录！";
const char* const kPurgeQuestion = "彻底删除后将无法恢复，您确认要彻底删除选定的记录吗？";
const char* const kPurgeCaption = "确认彻底删除";
const char* const kEmptyQuestion = "清空回收站后其中的记录将无法恢复，您确认要清空回收站吗？";
const char* const kEmptyCaption = "确认清空回收站";
// A report of a few thousand new IDs would not fit on the screen.
constexpr std::size_t kReportedNewIds = 10;

}  // namespace

std::string UndeleteReport(const std::vector<Undeleted>& done)
{
    std::string report = "已还原 " + std::to_string(done.size()) + " 条记录。";
    std::size_t moved = 0;
    for (const Undeleted& record : done) {
        if (record.id == record.formerId) continue;
        if (++moved > kReportedNewIds) continue;
        report += "\n原ID " + std::to_string(record.formerId) + " 已被占用，改为新ID " + std::to_string(record.id) + "。";
    }
    if (moved > kReportedNewIds) report += "\n……共 " + std::to_string(moved) + " 条记录改用了新ID。";
    return report;
}

void RecycleBinPresenter::FormShow(RecycleBinView& view)
{
    const std::unique_ptr<StoreConnection> connection = store_.Open();
    rows_ = JournalRows(BinLayout(), ReadBin(*connection));
    view.ShowEntries(rows_);
}

void RecycleBinPresenter::Message(const std::string& text)
{
    prompter_.Show(text, kApplicationTitle, PromptIcon::None, PromptButtons::Ok);
}

bool RecycleBinPresenter::Confirmed(const char* question, const char* caption)
{
    return prompter_.Show(question, caption, PromptIcon::Warning, PromptButtons::YesNo) != PromptAnswer::No;
}

std::vector<std::int64_t> RecycleBinPresenter::SelectedEntries(const RecycleBinView& view, const char* nothingSelected)
{
    std::vector<std::int64_t> entries;
    for (std::size_t row : view.SelectedEntries()) {
        if (row < rows_.size()) entries.push_back(rows_.EntryOf(row));
    }
    if (entries.empty()) Message(nothingSelected);
    return entries;
}

void RecycleBinPresenter::RestoreClick(RecycleBinView& view)
{
    const std::vector<std::int64_t> entries = SelectedEntries(view, kSelectToRestore);
    if (entries.empty()) return;
    std::vector<Undeleted> done;
    {
        const std::unique_ptr<StoreConnection> connection = store_.Open();
        done = Undelete(*connection, entries, author_());
    }
    restoredAny_ = restoredAny_ || !done.empty();
    FormShow(view);
    Message(UndeleteReport(done));
}

void RecycleBinPresenter::PurgeClick(RecycleBinView& view)
{
    const std::vector<std::int64_t> entries = SelectedEntries(view, kSelectToPurge);
    if (entries.empty() || !Confirmed(kPurgeQuestion, kPurgeCaption)) return;
    {
        const std::unique_ptr<StoreConnection> connection = store_.Open();
        Purge(*connection, entries, author_());
    }
    FormShow(view);
}

void RecycleBinPresenter::EmptyClick(RecycleBinView& view)
{
    if (rows_.size() == 0 || !Confirmed(kEmptyQuestion, kEmptyCaption)) return;
    {
        const std::unique_ptr<StoreConnection> connection = store_.Open();
        EmptyBin(*connection, author_());
    }
    FormShow(view);
}

}  // namespace quorva
