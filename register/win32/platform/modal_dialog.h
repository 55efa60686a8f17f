#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "register/win32/platform/gdi_handle.h"

// A modal dialog whose controls are made in code. The system's dialog loop
// gives it what a scanner typing into it relies on: Tab moves along the
// creation order of the controls, Enter presses the default button.
class ModalDialog {
public:
    ModalDialog() = default;
    virtual ~ModalDialog() = default;
    ModalDialog(const ModalDialog&) = delete;
    ModalDialog& operator=(const ModalDialog&) = delete;

    // Runs the dialog; the result is the identifier it ended with.
    INT_PTR RunModal(HWND owner, const std::string& caption, DWORD style, int width, int height);

protected:
    HWND hwnd() const { return hwnd_; }
    HWND Control(int id) const { return GetDlgItem(hwnd_, id); }
    int Scale(int pixels) const;
    HFONT font() const { return font_.get(); }
    HWND AddControl(const wchar_t* className, const std::string& text, DWORD style, int id, DWORD exStyle = 0);
    void Close(INT_PTR result) { EndDialog(hwnd_, result); }

    // Creates the controls; returns whether the system should set the focus.
    virtual bool OnInit() = 0;
    virtual void OnLayout(int width, int height) = 0;
    // Handles a message before the default handling; true when it did.
    virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) = 0;

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void CenterOnOwner(int width, int height);

    HWND hwnd_ = nullptr;
    HWND owner_ = nullptr;
    int dpi_ = USER_DEFAULT_SCREEN_DPI;
    int width_ = 0;
    int height_ = 0;
    GdiHandle<HFONT> font_;
};

// Text of a window as UTF-8, and back.
std::string WindowTextUtf8(HWND hwnd);
void SetWindowTextUtf8(HWND hwnd, const std::string& text);

// A multi-line box keeps Enter for a line break but leaves Tab and Esc to
// the dialog as every other control does: Tab moves on, as a scanner's tab
// keystroke expects, and Esc does what it does elsewhere in the dialog
// (on its own the box would close the dialog).
void LeaveTabAndEscToDialog(HWND multiLineBox);

void FillItems(HWND comboBox, const std::vector<std::string>& items);
