// Each grouping of 收文统计 over the 1,000,000-record register through the
// statistics window's count (open, GROUP BY, the grouping rules, the rows
// handed to the window) against the sqlite3 shell running the same
// statement on the same file: over the whole register, and over one year.
// Besides the wall-clock ratio, the ratio of processor time (user and
// system), which a busy machine disturbs less.
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <cstdlib>
#include <string>

#include "bench/bench_records.h"
#include "bench/counting_view.h"
#include "register/core/shell/main_window_presenter.h"
#include "register/core/statistics/statistics_presenter.h"
#include "tests/support/fakes.h"

namespace {

const quorva::CivilDate kToday{2026, 12, 8};
// The bench records are received from 2015 to 2024.
const quorva::StatisticsPeriod kWholeRegister{quorva::PeriodKind::Range, {2015, 1, 1}, {2024, 12, 31}};
const quorva::StatisticsPeriod kOneYear{quorva::PeriodKind::Year, {2020, 1, 1}, {2020, 1, 1}};

class TotalView : public quorva::StatisticsView {
public:
    void ShowTable(const quorva::StatisticsTable& table, const std::vector<quorva::StatisticsRow>& rows,
                   const std::string&) override
    {
        total = table.total;
        shownRows = rows.size();
    }
    void ShowNotice(const std::string&) override { total = 0; }
    std::int64_t total = 0;
    std::size_t shownRows = 0;
};

// Processor seconds, user and system, of this process or of its ended
// children: on a shared machine they vary far less than the wall clock.
double CpuSeconds(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// The statement as the shell gets it, every value a literal in its place.
std::string Inlined(const SqlStatement& statement)
{
    std::string text;
    std::size_t value = 0;
    for (const char c : statement.text) {
        if (c != '?') {
            text += c;
            continue;
        }
        text += "'" + std::get<std::string>(statement.values.at(value++)) + "'";
    }
    return text;
}

// Each repetition is one pair, the count and then the shell, so both meet
// the same moment of a shared machine; the ratio is the pair's.
void CountAgainstShell(benchmark::State& state)
{
    const auto grouping = quorva::kGroupings.at(static_cast<std::size_t>(state.range(0))).grouping;
    const quorva::StatisticsPeriod& period = state.range(1) == 0 ? kWholeRegister : kOneYear;
    const std::string path = bench::EnsureBenchFile(bench::kLargeRecordCount);
    FakeFileSystem fs;
    MemoryProfileStore store;
    ScriptedPrompter prompter;
    bench::CountingView mainView;
    bench::NameBenchFile(store, "A:", path);
    quorva::MainWindowPresenter main(
        mainView, quorva::MainWindowEnvironment{fs, store, prompter, "A:", {"X:"}, [] { return kToday; }});
    main.FormCreate();
    TotalView view;
    quorva::StatisticsPresenter statistics(view, main);
    statistics.ChooseGrouping(grouping);
    statistics.ChoosePeriod(period);
    const std::string statement =
        Inlined(quorva::CountStatement({grouping, quorva::BoundsOf(period), std::nullopt}));
    const std::string command = "sqlite3 '" + path + "' \"" + statement + "\" > /dev/null";
    for (auto _ : state) {
        const double selfBefore = CpuSeconds(RUSAGE_SELF);
        const double ours = bench::SecondsOf([&] { statistics.Count(); });
        const double oursCpu = CpuSeconds(RUSAGE_SELF) - selfBefore;
        const double childrenBefore = CpuSeconds(RUSAGE_CHILDREN);
        const double shell = bench::SecondsOf([&] {
            if (std::system(command.c_str()) != 0) state.SkipWithError("sqlite3 shell failed");
        });
        const double shellCpu = CpuSeconds(RUSAGE_CHILDREN) - childrenBefore;
        state.SetIterationTime(ours);
        state.counters["shell_ms"] = shell * 1e3;
        state.counters["ratio"] = ours / shell;
        state.counters["cpu_ratio"] = oursCpu / shellCpu;
    }
    if (view.total == 0) state.SkipWithError("nothing counted: the register did not read the bench file");
    state.counters["records"] = static_cast<double>(view.total);
    state.counters["rows"] = static_cast<double>(view.shownRows);
}

}  // namespace

// Groupings in the drop-down's order; period 0 the whole register, 1 a year.
BENCHMARK(CountAgainstShell)
    ->ArgsProduct({benchmark::CreateDenseRange(0, quorva::kGroupingCount - 1, 1), {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(7)
    ->ReportAggregatesOnly(true)
    ->UseManualTime();
BENCHMARK_MAIN();
