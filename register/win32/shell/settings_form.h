#pragma once

#include <string>

#include "register/core/shell/settings_form.h"
#include "register/win32/platform/modal_dialog.h"
#include "register/win32/platform/win32_file_picker.h"

// The file-name dialog "设定数据库文件名": one box that takes only the
// characters of a plain ASCII file name.
class TForm4 final : private ModalDialog {
public:
    enum ControlId : int { kNameBox = 101, kNameLabel };

    explicit TForm4(std::string name) : name_(std::move(name)) {}
    // True on OK; name() is then the box's text.
    bool ShowModal(HWND owner);
    const std::string& name() const { return name_; }

private:
    bool OnInit() override;
    void OnLayout(int width, int height) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

    std::string name_;
};

// The advanced settings dialog "高级设置". Its boxes change only through
// their "..." buttons and count only when it closes with OK; 取消, the close
// box and Esc leave everything as it was.
class TForm3 final : public quorva::SettingsDialog, private ModalDialog {
public:
    TForm3(HWND owner, quorva::SettingsActions& actions, FilePickerFor pickers)
        : owner_(owner), actions_(actions), pickers_(std::move(pickers))
    {
    }
    bool ShowModal(const quorva::SettingsValues& values) override;
    quorva::SettingsValues Values() const override { return values_; }

    enum ControlId : int { kFolder = 101, kFileName, kTemplate, kSilentEntry, kPickFolder, kPickFileName, kPickTemplate };
    // The store's controls, after all of the above in the tab order.
    enum StoreControlId : int {
        kFileStore = 121, kServerStore, kDriver, kHost, kPort, kDatabase, kUser, kPassword, kTestConnection, kUpload,
    };
    // The deadlines' day counts (one box per timed urgency, from
    // kDeadlineDays on) and yearly numbering, after the store's.
    enum NumberingControlId : int { kDeadlineDays = 141, kDeadlineHeading = 144, kDeadlineHelp, kYearlyNumbering };

private:
    bool OnInit() override;
    void OnLayout(int width, int height) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

    void Button3Click();
    void Button4Click();
    void Button5Click();
    void AddStoreControls();
    void PlaceStoreControls(int top, int width);
    void StoreChoiceClick();
    void AddDeadlineControls();
    void PlaceDeadlineControls(int top, int width);
    void TakeDeadlineControls();
    quorva::ServerLocation ServerShown() const;
    bool ServerComplete();
    void TestConnectionClick();
    void UploadClick();
    void Tell(const std::string& text);

    HWND owner_;
    quorva::SettingsActions& actions_;
    FilePickerFor pickers_;
    quorva::SettingsValues values_;
};

class Win32SettingsDialogFactory final : public quorva::SettingsDialogFactory {
public:
    explicit Win32SettingsDialogFactory(FilePickerFor pickers = SystemFilePickerFor) : pickers_(std::move(pickers)) {}
    void SetOwner(HWND owner) { owner_ = owner; }
    std::unique_ptr<quorva::SettingsDialog> CreateSettingsDialog(quorva::SettingsActions& actions) override
    {
        return std::make_unique<TForm3>(owner_, actions, pickers_);
    }

private:
    HWND owner_ = nullptr;
    FilePickerFor pickers_;
};
