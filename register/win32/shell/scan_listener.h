#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <string>

#include "register/core/barcode/scan_burst.h"
#include "register/core/barcode/scan_intake.h"

// Watches the keyboard input of one window while it is active and hands it
// the scans it receives (see scan_burst.h for how a scan is told from
// typing). The watch sits in the thread's message retrieval, so it works
// under any message loop, a modal dialog's included.
enum class ScanPolicy {
    // Keystrokes pass untouched.
    Ignore,
    // Document barcodes are taken and their Enter held back; their characters
    // still reach the focused control, which is told where they went.
    DocumentsOnly,
    // Every scan is taken and its Enter held back; characters of a run that
    // may become a document barcode are kept from the controls.
    AllBursts,
};

struct ScanArrival {
    std::string text;
    // The control that received the run's characters, if any did.
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
    void Deliver();

    HWND window_;
    std::function<ScanPolicy()> policy_;
    std::function<void(const ScanArrival&)> onScan_;
    quorva::ScanBurst burst_;
    HWND target_ = nullptr;
    // Scans are handled after the message retrieval that saw them returns.
    std::deque<ScanArrival> pending_;
};

// A plain beep for a stored scan, the error sound for a refused one.
class Win32ScanSignals final : public quorva::ScanSignals {
public:
    void Stored() override { MessageBeep(MB_OK); }
    void Refused() override { MessageBeep(MB_ICONHAND); }
};
