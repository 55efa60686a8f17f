// One clerk's register, as a process of its own, for the tests of a register
// shared on the server: it starts on the given settings file (which names
// the server), takes its scans in silent entry one after another, and prints
// what became of them, a line per scan as it happens ("scan <n> stored" or
// "scan <n> refused: <status>"), so that a register killed at any moment has
// told what it stored; or it edits one record's title through the edit
// command, as a clerk who changes a record another clerk has open. Usage:
//   clerk_process <appdata folder> <clerk number> <scans> [<first document>]
//   clerk_process <appdata folder> <clerk number> edit <receipt number> <title>
#include <windows.h>

#include <cstdio>
#include <string>

#include "register/core/barcode/scan_intake.h"
#include "register/core/barcode/unstored_scans.h"
#include "register/core/shell/prompter.h"
#include "register/core/text/text_encoding.h"
#include "register/win32/platform/win32_file_system.h"
#include "register/win32/platform/win32_profile_store.h"
#include "tests/support/fake_entry_dialog.h"
#include "tests/support/fakes.h"
#include "tests/support/test_store.h"

namespace {

class QuietView final : public quorva::MainView {
public:
    void ShowFilterChecks(const quorva::FilterState&) override {}
    void SetDaysText(const std::string&) override {}
    void SetFiltersEnabled(bool) override {}
    void SetStatusText(const std::string& text) override { status = text; }
    void ShowRows(const quorva::RecordList&) override {}
    void SelectRow(int index) override { selected = index; }
    int SelectedRow() const override { return selected; }
    void RefreshRow(int) override {}
    void ShowQueryMode(bool) override {}
    void SetOverdueText(const std::string&) override {}
    std::string status;
    int selected = -1;
};

class CountingSignals final : public quorva::ScanSignals {
public:
    void Stored() override { ++stored; }
    void Refused() override { ++refused; }
    int stored = 0;
    int refused = 0;
};

// The clerk's number names the Windows user, as the history and the other
// registers' status bars show it.
class ClerkWorkstation final : public quorva::Workstation {
public:
    explicit ClerkWorkstation(int clerk) : clerk_(clerk) {}
    std::string UserName() const override { return "职员" + std::to_string(clerk_); }
    std::string MachineName() const override { return "PC-" + std::to_string(clerk_); }

private:
    int clerk_;
};

std::string Document(int clerk, int n)
{
    return "GB0626-2005^" + std::to_string(clerk * 100000 + n) + "^市政府办公厅^通知^京发〔2026〕" +
           std::to_string(clerk) + "-" + std::to_string(n) + "号^各区人民政府^关于𠀋的通知" + std::to_string(n) +
           "^秘密5年^特急^2026年12月1日^县团级^市委办公厅^2026.12.2^^";
}

// Selects the record of the receipt number and saves it with another title.
bool EditTitle(quorva::MainWindowPresenter& presenter, QuietView& view, FakeEntryDialogFactory& dialogs,
               const std::string& receiptNumber, const std::string& title)
{
    const quorva::RecordList& rows = presenter.rows();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].at(quorva::Column::swzh) == receiptNumber) view.selected = static_cast<int>(i);
    }
    if (view.selected < 0) return false;
    dialogs.clerk = [&](FakeEntryDialog& dialog) {
        dialog.SetText(quorva::EntryField::ewjbt, title);
        return true;
    };
    presenter.edtbtnClick();
    return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 4) return 2;
    const std::string appData = Narrow(argv[1]);
    const int clerk = _wtoi(argv[2]);
    const int scans = _wtoi(argv[3]);
    const int first = argc > 4 ? _wtoi(argv[4]) : 1;
    Win32FileSystem fileSystem;
    Win32ProfileStore profiles;
    ScriptedPrompter prompter;
    MarkingSecretBox secrets;
    QuietView view;
    CountingSignals signals;
    ClerkWorkstation workstation(clerk);
    FakeEntryDialogFactory dialogs;
    quorva::MainWindowPresenter presenter(
        view, quorva::MainWindowEnvironment{fileSystem, profiles, prompter, appData, {appData + "\\Quorva"},
                                            [] { return quorva::CivilDate{2026, 12, 8}; }, &dialogs, nullptr, nullptr,
                                            nullptr, [] { return std::string("2026-12-08 14:02:00"); }, &secrets,
                                            &workstation});
    if (std::wstring(argv[3]) == L"edit" && argc > 5) {
        bool edited = false;
        quorva::RunCommand(prompter, [&] {
            presenter.FormCreate();
            presenter.Button3Click();
            edited = EditTitle(presenter, view, dialogs, Narrow(argv[4]), Narrow(argv[5]));
        });
        for (const auto& box : prompter.shown) std::printf("box: %s\n", box.text.c_str());
        return edited && prompter.shown.empty() ? 0 : 1;
    }
    quorva::RunCommand(prompter, [&] {
        presenter.FormCreate();
        quorva::UnstoredScans unstored(fileSystem, [] { return std::string("2026-12-08 14:02:00"); });
        quorva::ScanIntake intake(presenter, view, signals, unstored);
        for (int n = first; n < first + scans; ++n) {
            const int stored = signals.stored;
            intake.ScanArrived(Document(clerk, n));
            if (signals.stored > stored) {
                std::printf("scan %d stored\n", n);
            } else {
                std::printf("scan %d refused: %s\n", n, view.status.c_str());
            }
            std::fflush(stdout);
        }
    });
    std::printf("clerk %d stored %d refused %d boxes %d\n", clerk, signals.stored, signals.refused,
                static_cast<int>(prompter.shown.size()));
    for (const auto& box : prompter.shown) std::printf("box: %s\n", box.text.c_str());
    return signals.stored == scans && prompter.shown.empty() ? 0 : 1;
}
