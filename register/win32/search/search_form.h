#pragma once

#include <string>
#include <vector>

#include "register/core/search/search_form.h"
#include "register/win32/platform/modal_dialog.h"

// The search dialog "请选择查询条件（可多选）": a mode drop-down and a value
// control for each of the 25 searchable columns.
class TForm2 final : public quorva::SearchDialog, private ModalDialog {
public:
    TForm2(HWND owner, std::vector<std::string> names);

    bool ShowModal() override;
    quorva::SearchInputs Inputs() const override { return inputs_; }

    // The controls of a row, by build order from 0 (for tests).
    static int ModeId(int row);
    static int ValueId(int row);

private:
    bool OnInit() override;
    void OnLayout(int width, int height) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

    void AddRow(int row);
    void CaptureInputs();

    HWND owner_;
    std::vector<std::string> names_;
    std::vector<HWND> labels_;
    quorva::SearchInputs inputs_;
};

class Win32SearchDialogFactory final : public quorva::SearchDialogFactory {
public:
    void SetOwner(HWND owner) { owner_ = owner; }
    std::unique_ptr<quorva::SearchDialog> CreateSearchDialog(const std::string& namesListPath,
                                                             quorva::Prompter& prompter) override;

private:
    HWND owner_ = nullptr;
};
