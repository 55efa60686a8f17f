#pragma once

#include <memory>
#include <string>

#include "register/core/entry/entry_form_presenter.h"
#include "register/win32/platform/modal_dialog.h"

// The two pick-list editors: the names list (TForm20) and the agency codes
// (TForm18). Each shows the whole list in one multi-line box, a line per
// entry; they have no behaviour of their own.
class PickListForm final : public quorva::PickListEditor, private ModalDialog {
public:
    PickListForm(HWND owner, quorva::PickList list) : owner_(owner), list_(list) {}
    bool Edit(std::string& text) override;

    static constexpr int kBodyId = 101;

private:
    bool OnInit() override;
    void OnLayout(int width, int height) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

    HWND owner_;
    quorva::PickList list_;
    std::string text_;
};

// TForm20 is the names editor and TForm18 the agency-code editor.
inline std::unique_ptr<PickListForm> TForm20(HWND owner)
{
    return std::make_unique<PickListForm>(owner, quorva::PickList::Names);
}
inline std::unique_ptr<PickListForm> TForm18(HWND owner)
{
    return std::make_unique<PickListForm>(owner, quorva::PickList::AgencyCodes);
}

class Win32PickListEditorFactory final : public quorva::PickListEditorFactory {
public:
    // Owned by whichever dialog asks for an editor.
    std::unique_ptr<quorva::PickListEditor> CreateEditor(quorva::PickList list) override;
};
