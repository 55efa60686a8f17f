// One reload of the main window's list from a 100,000-record register (open,
// query, build the rows, hand them to the list) against the sqlite3 shell
// reading "SELECT * FROM Quorva" from the same file.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "bench/bench_records.h"
#include "register/core/main_window_presenter.h"
#include "tests/support/fakes.h"

namespace {

// The real list is virtual: handing it the rows is setting a count.
class CountingView : public quorva::MainView {
public:
    void ShowFilterChecks(const quorva::FilterState&) override {}
    void SetDaysText(const std::string&) override {}
    void SetFiltersEnabled(bool) override {}
    void SetStatusText(const std::string&) override {}
    void ShowRows(const quorva::RecordList& rows) override { shown = rows.size(); }
    void SelectRow(int index) override { selected = index; }
    int SelectedRow() const override { return selected; }
    void RefreshRow(int) override {}
    void ShowQueryMode(bool) override {}
    std::size_t shown = 0;
    int selected = -1;
};

void BM_ListReload(benchmark::State& state)
{
    const std::string path = bench::EnsureBenchFile();
    FakeFileSystem fs;
    MemoryProfileStore store;
    ScriptedPrompter prompter;
    CountingView view;
    const std::string appData = "A:";
    store.Write(appData + "\\ovd\\quorva.ini", "Option", "DName", path);
    store.Write(appData + "\\ovd\\quorva.ini", "Option", "Path", "");
    quorva::MainWindowPresenter presenter(
        view, quorva::MainWindowEnvironment{fs, store, prompter, appData, {"X:"}, [] {
                                               return quorva::CivilDate{2026, 12, 8};
                                           }});
    presenter.FormCreate();
    // The database path is "\" + the name; put the real path in place.
    const_cast<quorva::MainWindowState&>(presenter.state()).databasePath = path;
    for (auto _ : state) {
        presenter.Button3Click();
        benchmark::DoNotOptimize(view.shown);
    }
    state.counters["rows"] = static_cast<double>(view.shown);
}

void BM_Sqlite3Shell(benchmark::State& state)
{
    const std::string path = bench::EnsureBenchFile();
    const std::string command = "sqlite3 '" + path + "' 'SELECT * FROM Quorva' > /dev/null";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) state.SkipWithError("sqlite3 shell failed");
    }
}

}  // namespace

BENCHMARK(BM_ListReload)->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK(BM_Sqlite3Shell)->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK_MAIN();
