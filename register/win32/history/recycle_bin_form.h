#pragma once

#include "register/core/history/recycle_bin_presenter.h"
#include "register/win32/platform/modal_dialog.h"

// "回收站": the deleted records, several of which can be selected at once,
// with 还原, 彻底删除 and 清空回收站.
class TRecycleBinForm final : public quorva::RecycleBinView, private ModalDialog {
public:
    enum ControlId : int { kList = 1001, kRestore, kPurge, kEmpty, kClose };

    TRecycleBinForm(HWND owner, quorva::RecycleBinPresenter& presenter) : owner_(owner), presenter_(presenter) {}

    void ShowModal();

    void ShowEntries(const quorva::JournalRows& rows) override;
    std::vector<std::size_t> SelectedEntries() const override;

private:
    bool OnInit() override;
    void OnLayout(int width, int height) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

    HWND owner_;
    quorva::RecycleBinPresenter& presenter_;
    const quorva::JournalRows* rows_ = nullptr;
};
