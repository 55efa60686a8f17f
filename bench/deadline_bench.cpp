// What deadlines add to a reload of the list: every row's deadline worked
// out (a tenth of the records with one of their own, the rest derived from
// 紧急程度), the overdue filter and the status bar's count, paired with the
// reload as it was before deadlines (the same query, every row added), at
// 100,000 and 1,000,000 records.
#include <benchmark/benchmark.h>

#include "bench/bench_records.h"
#include "register/core/shell/list_loader.h"
#include "register/core/storage/file_store.h"
#include "register/store/sqlite_table.h"

namespace {

using namespace quorva;

const CivilDate kToday{2026, 12, 8};
constexpr int kOwnDeadlineEvery = 10;

// In memory: the bench file is shared and stays as it is.
DeadlineBook BenchBook(int count)
{
    OwnDeadlines own;
    for (std::int64_t id = 1; id <= count; id += kOwnDeadlineEvery) own.emplace(id, CivilDate{2026, 12, 1});
    return DeadlineBook(std::move(own), DeadlineDays());
}

void DeadlinesAgainstPlainReload(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    FileStore store(bench::EnsureBenchFile(count));
    const DeadlineBook book = BenchBook(count);
    FilterState overdueOnly;
    overdueOnly.SetTicked(FilterBox::OverdueOnly, true);
    std::size_t overdue = 0;
    for (auto _ : state) {
        const double ours = bench::SecondsOf([&] {
            RecordList rows;
            ListDeadlines deadlines(book);
            FillRecordList(QueryRecordList(store, overdueOnly), overdueOnly, kToday, rows, deadlines);
            overdue = deadlines.CountOverdue(kToday);
        });
        const double plain = bench::SecondsOf([&] {
            RecordList rows;
            std::shared_ptr<const TSQLiteTable> result = QueryRecordList(store, FilterState());
            rows.Reset(result);
            for (int r = 0; r < result->CountRows(); ++r) rows.Add(r);
        });
        state.SetIterationTime(ours);
        state.counters["plain_ms"] = plain * 1e3;
        state.counters["ratio"] = ours / plain;
    }
    state.counters["overdue"] = static_cast<double>(overdue);
}

}  // namespace

BENCHMARK(DeadlinesAgainstPlainReload)
    ->Arg(bench::kRecordCount)
    ->Arg(bench::kLargeRecordCount)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->UseManualTime();
BENCHMARK_MAIN();
