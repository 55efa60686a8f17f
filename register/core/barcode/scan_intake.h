#pragma once

#include <string>

#include "register/core/barcode/document_barcode.h"
#include "register/core/barcode/unstored_scans.h"
#include "register/core/entry/entry_dialog.h"
#include "register/core/shell/main_window_presenter.h"

// What a scanned barcode does: in the entry dialog it fills the barcode's
// fields; over the main window it registers a record silently or, in query
// mode, finds the records it names.
namespace quorva {

class RegisterNumbers;

// Short sounds that tell the clerk, without looking up, what became of a scan
// in a run of scans.
class ScanSignals {
public:
    virtual ~ScanSignals() = default;
    virtual void Stored() = 0;
    virtual void Refused() = 0;
};

// Spreads a document over the dialog's barcode fields; the numbers, the
// received date and the handling fields stay for the clerk. An issue date
// that is no date cannot go into its picker, so it is noted in 备注. Gives
// the fields whose text does not fit, for the dialog to mark.
std::vector<EntryField> FillFromScan(const ScannedDocument& document, EntryDialog& dialog);

inline constexpr const char* kUnreadIssueDateNote = "条码中的成文日期：";

class ScanIntake {
public:
    ScanIntake(MainWindowPresenter& presenter, MainView& view, ScanSignals& signals, UnstoredScans& unstored);

    // Over the main window, scans are taken only in silent entry or query mode.
    bool WantsScans() const;
    // The whole text of one scan. Every outcome, failures of the database
    // included, is a status-bar line and a sound, never a message box, so a
    // run of scans goes on. A scan silent entry does not store is kept in
    // the file of unstored scans.
    void ScanArrived(const std::string& text);

private:
    void FindRecords(const ScannedDocument& document);
    void RegisterSilently(const std::string& text, const ScannedDocument& document);
    // The reason the document could not be stored; empty once it is.
    std::string Store(RegisterNumbers& numbers, RecordFields& fields, std::int64_t& id);
    void ShowStored(const RecordFields& fields, std::int64_t id);
    void Keep(const std::string& text, const std::string& reason);
    void Refuse(const std::string& status);

    MainWindowPresenter& presenter_;
    MainView& view_;
    ScanSignals& signals_;
    UnstoredScans& unstored_;
};

}  // namespace quorva
