#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <string>

#include "register/core/barcode/scan_burst.h"
#include "register/core/barcode/scan_intake.h"

// Watches the keyboard input of one window while it is active and hands it
// the document barcodes scanned into it (see scan_burst.h for how a scan is
// told from typing). The watch sits in the thread's message retrieval, so it
// works under any message loop, a modal dialog's included. It also types
// the Alt codes the platform leaves untyped (see alt_code.h).
enum class ScanPolicy {
    // Keystrokes pass untouched.
    Ignore,
    // Document barcodes are taken: every key event after the version tag is
    // kept from the window, and what the tag typed is taken back out of the
    // control that got it.
    TakeDocuments,
};

struct ScanArrival {
    std::string text;
    // The control that had the focus when the scan began, if any.
    HWND target = nullptr;
};

class ScanListener {
public:
    ScanListener(HWND window, std::function<ScanPolicy()> policy, std::function<void(const ScanArrival&)> onScan);
    ~ScanListener();
    ScanListener(const ScanListener&) = delete;
    ScanListener& operator=(const ScanListener&) = delete;

private:
    static LRESULT CALLBACK GetMessageHook(int code, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                       DWORD_PTR data);
    bool Receives(const MSG& message) const;
    void Watch(MSG& message);
    void Follow(const quorva::KeyVerdict& verdict, MSG* message);
    void Swallow(MSG& message) const;
    void NoteTarget();
    void Later(std::function<void()> delivery);
    void Deliver();
    void KeepTimer();

    HWND window_;
    HWND sink_;
    std::function<ScanPolicy()> policy_;
    std::function<void(const ScanArrival&)> onScan_;
    quorva::ScanBurst burst_;
    HWND target_ = nullptr;
    std::wstring targetText_;
    bool timing_ = false;
    // Scans and typed Alt codes are handled after the message retrieval
    // that saw them returns, in the order they came.
    std::deque<std::function<void()>> pending_;
};

// A plain beep for a stored scan, the error sound for a refused one.
class Win32ScanSignals final : public quorva::ScanSignals {
public:
    void Stored() override { MessageBeep(MB_OK); }
    void Refused() override { MessageBeep(MB_ICONHAND); }
};
