#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "register/core/entry/entry_form_presenter.h"
#include "register/win32/platform/modal_dialog.h"
#include "register/win32/shell/scan_listener.h"

// The entry/edit dialog "收文录入" / "编辑记录". The commands fill it before
// it is shown and read it after it closes with OK; while it is up, the
// presenter checks and confirms.
class TForm1 final : public quorva::EntryDialog, private quorva::EntryFormView, private ModalDialog {
public:
    TForm1(HWND owner, const quorva::EntryDialogContext& context, quorva::PickListEditorFactory& editors);
    ~TForm1() override;

    void SetCaption(const std::string& caption) override { caption_ = caption; }
    void SetText(quorva::EntryField field, const std::string& text) override;
    std::string Text(quorva::EntryField field) const override;
    void SetDate(quorva::EntryField field, const quorva::CivilDate& date) override;
    quorva::CivilDate Date(quorva::EntryField field) const override;
    void ClearDate(quorva::EntryField field) override;
    bool HasDate(quorva::EntryField field) const override;
    bool ShowModal() override;

    // The control of a field, while the dialog is up (for tests).
    static int ControlId(quorva::EntryField field);

private:
    // EntryFormView
    std::string Caption() const override { return caption_; }
    void ShowNote(const std::string& note) override;
    void SetHighlighted(quorva::EntryField field, bool highlighted) override;
    void Focus(quorva::EntryField field) override;
    void SetItems(quorva::EntryField field, const std::vector<std::string>& items) override;

    // ModalDialog
    bool OnInit() override;
    void OnLayout(int width, int height) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

    void CreateControls();
    void AddLabel(const std::string& text);
    void AddField(quorva::EntryField field);
    void AddButton(int id, const std::string& text, DWORD style = 0);
    void ApplyValues();
    void CaptureValues();
    void OnCommand(int id, int code);
    void CompleteDocumentType();
    void ShowDeadline();
    void ShowDerivedDeadline();
    quorva::CivilDate DerivedDeadlineShown() const;
    bool IsDatePicker(quorva::EntryField field) const;
    void TakeScan(const ScanArrival& scan);
    // "修改记录": the edited record's history, in a window over this one.
    void ShowRecordHistory();

    HWND owner_;
    quorva::EntryDialogContext context_;
    quorva::EntryFormPresenter presenter_;
    std::string caption_ = quorva::kNewRecordCaption;
    std::map<quorva::EntryField, std::string> texts_;
    std::map<quorva::EntryField, quorva::CivilDate> dates_;
    // Pickers that show no date (they get a check box to take one).
    std::set<quorva::EntryField> undated_;
    std::map<quorva::EntryField, std::vector<std::string>> items_;
    std::vector<quorva::EntryField> highlighted_;
    std::vector<HWND> labels_;
    GdiHandle<HBRUSH> red_;
    bool open_ = false;
    std::size_t documentTypeLength_ = 0;
    bool completing_ = false;
    std::unique_ptr<ScanListener> scans_;
};

// Makes a TForm1 owned by the main window for each command.
class Win32EntryDialogFactory final : public quorva::EntryDialogFactory {
public:
    Win32EntryDialogFactory(HWND owner, quorva::PickListEditorFactory& editors) : owner_(owner), editors_(editors) {}
    void SetOwner(HWND owner) { owner_ = owner; }
    std::unique_ptr<quorva::EntryDialog> CreateEntryDialog(const quorva::EntryDialogContext& context) override;

private:
    HWND owner_;
    quorva::PickListEditorFactory& editors_;
};
