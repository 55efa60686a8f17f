#pragma once

#include "register/core/shell/prompter.h"
#include "register/win32/service/talvex_link.h"
#include "register/win32/platform/win32_prompter.h"

// The main window's link to the scanner service: the silent start-up link,
// the "连接扫描枪" command and the barcode handler, over one component.
class ScannerServiceLink {
public:
    // `owned` shows the outcome boxes, owned by the main window; `ownerless`
    // the error box, which belongs to no window (a box of its own when null).
    ScannerServiceLink(quorva::Prompter& owned, quorva::Prompter* ownerless);

    // The start-up link: one open-and-subscribe exchange; every failure and
    // the status are ignored.
    void FormCreate() noexcept;
    // "连接扫描枪": the same exchange, and a box that tells how it went.
    void ConnectClick();

    TCTalvex& Component() { return component_; }

private:
    // Scanner type 1, then command 1001; the status RunCommand leaves.
    long OpenAndSubscribe();

    quorva::Prompter& owned_;
    Win32Prompter noOwner_;
    quorva::Prompter& ownerless_;
    TCTalvex component_;
};
