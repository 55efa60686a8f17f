// A silent scan into a 100,000- and a 1,000,000-record register (the
// look-ups of its numbers, the insert and the reload that shows the new
// record) paired with the reload alone, which every stored scan repeats.
// Each scan's record is deleted again, untimed, so the register keeps its
// size.
#include <benchmark/benchmark.h>

#include "bench/bench_records.h"
#include "bench/counting_view.h"
#include "register/core/barcode/scan_intake.h"
#include "register/core/shell/settings.h"
#include "register/store/sqlite_database.h"
#include "tests/support/fakes.h"

namespace {

const char* const kIni = "A:\\ovd\\quorva.ini";
const char* const kStoredPrefix = "已静默录入";

class Silence : public quorva::ScanSignals {
public:
    void Stored() override {}
    void Refused() override {}
};

std::string Scan(int n)
{
    return "GB0626-2005^1^市政府办公厅^通知^京政办发〔2027〕" + std::to_string(n) + "号^^关于检查的通知^^^20270105^^^^";
}

void ScanAgainstReload(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    const std::string path = bench::EnsureBenchFile(count);
    FakeFileSystem fs;
    MemoryProfileStore store;
    store.Write(kIni, quorva::kSettingsSection, quorva::keys::kSilentEntry, "1");
    ScriptedPrompter prompter;
    bench::CountingView view;
    Silence signals;
    bench::NameBenchFile(store, "A:", path);
    quorva::MainWindowPresenter presenter(
        view, quorva::MainWindowEnvironment{fs, store, prompter, "A:", {"X:"}, [] { return quorva::CivilDate{2027, 1, 8}; }});
    presenter.FormCreate();
    quorva::UnstoredScans unstored(fs, [] { return std::string(); });
    quorva::ScanIntake intake(presenter, view, signals, unstored);
    int n = 0;
    for (auto _ : state) {
        store.Write(kIni, quorva::kSettingsSection, quorva::keys::kReceiptNumber, "扫-1");
        const double scan = bench::SecondsOf([&] { intake.ScanArrived(Scan(++n)); });
        const double reload = bench::SecondsOf([&] { presenter.Button3Click(); });
        TSQLiteDatabase(path).Execute(SqlStatement{"DELETE FROM Quorva WHERE ID > ?", {std::int64_t{count}}});
        state.SetIterationTime(scan);
        state.counters["reload_ms"] = reload * 1e3;
        state.counters["ratio"] = scan / reload;
    }
    if (presenter.rows().size() <= static_cast<std::size_t>(count)) {
        state.SkipWithError("the scan stored nothing in the bench file");
    }
}

}  // namespace

BENCHMARK(ScanAgainstReload)
    ->Arg(bench::kRecordCount)
    ->Arg(bench::kLargeRecordCount)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->UseManualTime();
BENCHMARK_MAIN();
