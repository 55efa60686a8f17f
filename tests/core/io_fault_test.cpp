#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>

#include "register/core/barcode/scan_intake.h"
#include "register/core/entry/number_counters.h"
#include "register/core/records/document_statements.h"
#include "register/core/shell/main_window_presenter.h"
#include "tests/support/fake_entry_dialog.h"
#include "tests/support/fakes.h"
#include "tests/support/faulty_vfs.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_store.h"

// Every command that writes the file, with each of its writes, syncs,
// truncates and locks failing in turn: whatever fails, the clerk is told, the
// file stays sound and the command happened wholly or not at all.
namespace quorva {
namespace {

namespace fs = std::filesystem;
const char* const kIni = "A:\\ovd\\quorva.ini";
const CivilDate kToday{2026, 12, 8};
const char* const kSound = "ok|\n";  // integrity_check as Rows gives it

std::string Scan(const std::string& wh)
{
    return "GB0626-2005^1^局^函^" + wh + "^^标题^^^20261201^^^^";
}

// A query's rows, a line each, or the error that stopped it.
std::string Rows(sqlite3* db, const std::string& sql)
{
    std::string text;
    const auto append = [](void* out, int count, char** values, char**) {
        auto& lines = *static_cast<std::string*>(out);
        for (int i = 0; i < count; ++i) lines += std::string(values[i] ? values[i] : "NULL") + "|";
        lines += "\n";
        return 0;
    };
    char* error = nullptr;
    if (sqlite3_exec(db, sql.c_str(), append, &text, &error) != SQLITE_OK) text = "error: " + std::string(error);
    sqlite3_free(error);
    return text;
}

struct Contents {
    std::string integrity;
    std::string tables;  // every row of every table
};

// The file's contents, with the run's own folder (which the history names
// for a restore) left out.
Contents Read(const std::string& path, const TempFolder& run)
{
    if (!fs::exists(fs::u8path(path))) return {"missing", ""};
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    Contents contents{Rows(db, "PRAGMA integrity_check"), ""};
    std::string names = Rows(db, "SELECT name FROM sqlite_master WHERE type='table' ORDER BY name");
    for (std::size_t end; (end = names.find("|\n")) != std::string::npos; names.erase(0, end + 2)) {
        contents.tables += names.substr(0, end) + ":\n" + Rows(db, "SELECT * FROM [" + names.substr(0, end) + "]");
    }
    sqlite3_close(db);
    const std::string root = PathToUtf8(run.path());
    for (std::size_t at; (at = contents.tables.find(root)) != std::string::npos;) contents.tables.erase(at, root.size());
    return contents;
}

class View : public MainView, public ScanSignals {
public:
    void ShowFilterChecks(const FilterState&) override {}
    void SetDaysText(const std::string&) override {}
    void SetFiltersEnabled(bool) override {}
    void SetStatusText(const std::string&) override {}
    void ShowRows(const RecordList&) override {}
    void SelectRow(int) override {}
    int SelectedRow() const override { return 1; }
    void RefreshRow(int) override {}
    void ShowQueryMode(bool) override {}
    void SetOverdueText(const std::string&) override {}
    void Stored() override {}
    void Refused() override { refused = true; }
    bool refused = false;
};

// One clerk's register on the database folder `db`.
struct Register {
    Register(const MemoryProfileStore& settings, const std::string& bak) : profiles(settings)
    {
        picker.folder = bak;
        picker.backupFile = bak + "\\Quorva.db.bak";
        fs.creatableRoots.insert("A:");
        fs.folders.insert(settings.Read(kIni, kSettingsSection, keys::kDatabaseFolder, ""));
        presenter.FormCreate();
        presenter.FormShow();
    }

    // Whether the command told the clerk it failed.
    bool Run(const std::function<void(Register&)>& command)
    {
        try {
            command(*this);
        } catch (const std::exception&) {
            return true;
        }
        for (const auto& shown : prompter.shown) {
            if (shown.text.find("失败") != std::string::npos) return true;
        }
        return view.refused;
    }

    std::string Database() const { return presenter.state().databasePath; }

    MemoryProfileStore profiles;
    FakeFileSystem fs;
    ScriptedPrompter prompter;
    View view;
    FakeEntryDialogFactory dialogs;
    ScriptedFilePicker picker;
    MarkingSecretBox secrets;
    FixedWorkstation workstation;
    MainWindowPresenter presenter{view, MainWindowEnvironment{fs, profiles, prompter, "A:", {"X:"}, [] { return kToday; },
                                                              &dialogs, nullptr, nullptr, &picker,
                                                              [] { return std::string("2026-12-08 10:00:00"); },
                                                              &secrets, &workstation}};
    UnstoredScans unstored{fs, [] { return std::string("2026-12-08 10:00"); }};
    ScanIntake intake{presenter, view, view, unstored};
};

struct Command {
    const char* name;
    std::function<void(Register&)> run;
};

void PrintTo(const Command& command, std::ostream* out) { *out << command.name; }

const Command kCommands[] = {
    {"registration",
     [](Register& r) {
         r.dialogs.clerk = [](FakeEntryDialog& d) {
             d.SetText(EntryField::elwdw, "市政府");
             d.SetText(EntryField::ewh, "京发[2026]9号");
             d.SetText(EntryField::ewjbt, "通知");
             return true;
         };
         r.presenter.newbtnClick();
     }},
    {"edit",
     [](Register& r) {
         r.dialogs.clerk = [](FakeEntryDialog& d) {
             d.SetText(EntryField::ewjbt, "改过的标题");
             return true;
         };
         r.presenter.edtbtnClick();
     }},
    {"delete", [](Register& r) { r.presenter.DeleteSelectedClick(); }},
    {"clear all", [](Register& r) { r.presenter.ClearAllClick(); }},
    {"silent entry", [](Register& r) { r.intake.ScanArrived(Scan("京发〔2026〕9号")); }},
    {"backup", [](Register& r) { r.presenter.BackupClick(); }},
    {"restore and its safety copy", [](Register& r) { r.presenter.RestoreClick(); }},
};

const struct {
    Fault fault;
    const char* name;
} kFaults[] = {{Fault::Write, "write"},   {Fault::Sync, "sync"}, {Fault::Truncate, "truncate"},
               {Fault::Lock, "lock"},     {Fault::FullDisk, "full disk"}};

class IoFaultTest : public ::testing::TestWithParam<Command> {
protected:
    // Three scanned records, a backup made after the first two and the
    // settings they leave, kept as the state every run starts from.
    void SetUp() override
    {
        profiles.Write(kIni, kSettingsSection, keys::kDatabaseFolder, seed.File("db"));
        profiles.Write(kIni, kSettingsSection, keys::kSilentEntry, "1");
        profiles.Write(kIni, kSettingsSection, keys::kReceiptNumber, "SW-1");
        fs::create_directories(seed.path() / "db");
        fs::create_directories(seed.path() / "bak");
        Register r(profiles, seed.File("bak"));
        r.intake.ScanArrived(Scan("京发〔2026〕1号"));
        r.intake.ScanArrived(Scan("京发〔2026〕2号"));
        r.presenter.BackupClick();
        r.intake.ScanArrived(Scan("京发〔2026〕3号"));
        profiles = r.profiles;
    }

    // A register on a fresh copy of the seed, in `run`'s own folder.
    std::unique_ptr<Register> Fresh(const TempFolder& run)
    {
        fs::copy(seed.path(), run.path(), fs::copy_options::recursive | fs::copy_options::overwrite_existing);
        MemoryProfileStore settings = profiles;
        settings.Write(kIni, kSettingsSection, keys::kDatabaseFolder, run.File("db"));
        return std::make_unique<Register>(settings, run.File("bak"));
    }

    TempFolder seed;
    MemoryProfileStore profiles;
};

// The number after the settings' counter is not already stored.
void ExpectCountersAhead(Register& r)
{
    const Settings settings = r.presenter.settings();
    const std::string next = ProposedNumber(settings.ReadText(keys::kReceiptNumber, ""), settings, kToday);
    auto found = r.presenter.store().Open()->Query(DuplicateStatement(Column::swzh, next));
    EXPECT_EQ(found->CountRows(), 0) << "receipt number " << next << " would be given twice";
}

std::vector<std::string> SafetyCopies(const std::string& database)
{
    std::vector<std::string> copies;
    for (const auto& entry : fs::directory_iterator(fs::u8path(database).parent_path())) {
        const std::string name = PathToUtf8(entry.path());
        if (name.find(".before-restore-") != std::string::npos) copies.push_back(name);
    }
    return copies;
}

TEST_P(IoFaultTest, EveryFailureIsToldAndLeavesTheFileSoundAndTheCommandWholeOrUndone)
{
    const Command& command = GetParam();
    FaultyVfs vfs;
    for (const auto& kind : kFaults) {
        TempFolder clean;
        std::unique_ptr<Register> r = Fresh(clean);
        const std::string database = r->Database(), backup = r->picker.backupFile.value();
        const Contents before = Read(database, clean), oldBackup = Read(backup, clean);
        vfs.Arm(kind.fault, 0);
        ASSERT_FALSE(r->Run(command.run)) << command.name << " fails without a fault";
        const int operations = vfs.Seen(kind.fault);
        const Contents after = Read(database, clean), newBackup = Read(backup, clean);
        std::printf("%s: %d failures injected at a %s\n", command.name, operations, kind.name);
        for (int nth = 1; nth <= operations; ++nth) {
            SCOPED_TRACE(std::string(command.name) + ", " + kind.name + " " + std::to_string(nth));
            TempFolder folder;
            r = Fresh(folder);
            vfs.Arm(kind.fault, nth);
            const bool told = r->Run(command.run);
            ASSERT_TRUE(vfs.Fired());
            vfs.Arm(kind.fault, 0);
            EXPECT_TRUE(told) << "the failure went unreported";
            const Contents now = Read(r->Database(), folder);
            ASSERT_EQ(now.integrity, kSound);
            if (!told || now.tables != before.tables) {
                EXPECT_EQ(now.tables, after.tables) << "half done";
            }
            const Contents bak = Read(r->picker.backupFile.value(), folder);
            EXPECT_TRUE(bak.tables == oldBackup.tables || bak.tables == newBackup.tables) << "a broken backup";
            EXPECT_EQ(bak.integrity, kSound);
            for (const std::string& copy : SafetyCopies(r->Database())) {
                EXPECT_EQ(Read(copy, folder).integrity, kSound);
                EXPECT_EQ(Read(copy, folder).tables, before.tables) << "a safety copy that is not the register before";
            }
            ExpectCountersAhead(*r);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Commands, IoFaultTest, ::testing::ValuesIn(kCommands),
                         [](const ::testing::TestParamInfo<Command>& info) {
                             std::string name = info.param.name;
                             for (char& c : name) c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                             return name;
                         });

}  // namespace
}  // namespace quorva
