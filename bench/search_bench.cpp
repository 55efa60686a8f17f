// A fuzzy search on 文件标题 in a 100,000- and a 1,000,000-record register
// through the search command (open, query, build the rows, hand them to the
// list) against the sqlite3 shell running the same statement on the same
// file. One value that every title holds and one that few hold.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "bench/bench_records.h"
#include "bench/bench_register.h"

namespace {

constexpr int kTitleRow = 7;  // 文件标题 in build order, from 0
constexpr int kFuzzy = 1;
const char* const kEveryTitle = "安全生产";
const char* const kFewTitles = "第7777期";

// A dialog the clerk confirms with one fuzzy condition on the title.
class TitleSearch : public quorva::SearchDialogFactory, public quorva::SearchDialog {
public:
    explicit TitleSearch(std::string value) { inputs_[kTitleRow] = {kFuzzy, std::move(value)}; }
    std::unique_ptr<quorva::SearchDialog> CreateSearchDialog(const std::string&, quorva::Prompter&) override
    {
        return std::make_unique<TitleSearch>(*this);
    }
    bool ShowModal() override { return true; }
    quorva::SearchInputs Inputs() const override { return inputs_; }

private:
    quorva::SearchInputs inputs_;
};

// Each repetition is one pair, the search command and then the shell, so
// both meet the same moment of a shared machine; the ratio is the pair's.
void SearchAgainstShell(benchmark::State& state, const char* value)
{
    const std::string path = bench::EnsureBenchFile(static_cast<int>(state.range(0)));
    TitleSearch dialog(value);
    bench::BenchRegister onFile(path, &dialog);
    quorva::MainWindowPresenter& presenter = onFile.presenter;
    const std::string statement = std::string("SELECT * FROM Quorva  where wjbt like '%") + value + "%'";
    const std::string command = "sqlite3 '" + path + "' \"" + statement + "\" > /dev/null";
    for (auto _ : state) {
        const double ours = bench::SecondsOf([&] { presenter.SearchClick(); });
        const double shell = bench::SecondsOf([&] {
            if (std::system(command.c_str()) != 0) state.SkipWithError("sqlite3 shell failed");
        });
        state.SetIterationTime(ours);
        state.counters["shell_ms"] = shell * 1e3;
        state.counters["ratio"] = ours / shell;
    }
    if (onFile.view.shown == 0) state.SkipWithError("nothing listed: the register did not read the bench file");
    state.counters["rows"] = static_cast<double>(onFile.view.shown);
}

// The median of 5 pairs for the searches that show every row; of 15 for the
// short ones, which are mostly the same scan of SQLite's on both sides.
void Pairs(benchmark::internal::Benchmark* b, int pairs)
{
    b->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(pairs)->ReportAggregatesOnly(true)->UseManualTime();
}

}  // namespace

BENCHMARK_CAPTURE(SearchAgainstShell, every_title, kEveryTitle)
    ->Arg(bench::kRecordCount)->Apply([](auto* b) { Pairs(b, 5); });
BENCHMARK_CAPTURE(SearchAgainstShell, few_titles, kFewTitles)
    ->Arg(bench::kRecordCount)->Apply([](auto* b) { Pairs(b, 15); });
BENCHMARK_CAPTURE(SearchAgainstShell, every_title, kEveryTitle)
    ->Arg(bench::kLargeRecordCount)->Apply([](auto* b) { Pairs(b, 5); });
BENCHMARK_CAPTURE(SearchAgainstShell, few_titles, kFewTitles)
    ->Arg(bench::kLargeRecordCount)->Apply([](auto* b) { Pairs(b, 15); });
BENCHMARK_MAIN();
