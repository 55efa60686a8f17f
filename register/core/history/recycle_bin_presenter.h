#pragma once

#include <cstddef>
#include <functional>
#include <vector>

#include "register/core/history/journal_rows.h"
#include "register/core/history/recycle_bin.h"
#include "register/core/shell/prompter.h"
#include "register/core/storage/change_journal.h"

namespace quorva {

class Store;

// What the "回收站" window shows; the window itself only puts it on screen.
class RecycleBinView {
public:
    virtual ~RecycleBinView() = default;
    // The bin's content was replaced; nothing is selected.
    virtual void ShowEntries(const JournalRows& rows) = 0;
    // The selected rows, by index.
    virtual std::vector<std::size_t> SelectedEntries() const = 0;
};

inline constexpr const char* kRecycleBinCaption = "回收站";

// The behaviour of the "回收站" window. Its boxes go through the prompter,
// which in the program is owned by the window.
class RecycleBinPresenter {
public:
    RecycleBinPresenter(Store& store, Prompter& prompter, std::function<ChangeAuthor()> author)
        : store_(store), prompter_(prompter), author_(std::move(author))
    {
    }

    void FormShow(RecycleBinView& view);
    // "还原": the selected records go back into the register.
    void RestoreClick(RecycleBinView& view);
    // "彻底删除" and "清空回收站": final, each after its own warning.
    void PurgeClick(RecycleBinView& view);
    void EmptyClick(RecycleBinView& view);

    // Whether records went back, so the main list must be read again.
    bool restoredAny() const { return restoredAny_; }
    // Where the window's own errors go too.
    Prompter& prompter() { return prompter_; }

private:
    std::vector<std::int64_t> SelectedEntries(const RecycleBinView& view, const char* nothingSelected);
    void Message(const std::string& text);
    bool Confirmed(const char* question, const char* caption);

    Store& store_;
    Prompter& prompter_;
    std::function<ChangeAuthor()> author_;
    JournalRows rows_;
    bool restoredAny_ = false;
};

// The message after a 还原: how many, and each record that had to take a
// new ID (the first few, when there are many).
std::string UndeleteReport(const std::vector<Undeleted>& done);

}  // namespace quorva
