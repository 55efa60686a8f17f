// The duplicate check of a reference number (来文号) in a 100,000- and a
// 1,000,000-record register: the look-up of every spelling of the number
// against the one exact match it replaces, paired in each repetition. The
// bench register is the worst case for the look-up: every number in it
// shares its agency and year, so the index ranges hold every record and
// only the pattern thins them.
#include <benchmark/benchmark.h>

#include "bench/bench_records.h"
#include "register/core/records/reference_number.h"
#include "register/core/storage/file_store.h"
#include "register/store/sqlite_database.h"
#include "register/store/sqlite_table.h"

namespace {

const char* const kStored = "京政办发〔2016〕77777号";
const char* const kOtherSpelling = " 京政办发［２０１６］77777号";

void LookUpAgainstExactMatch(benchmark::State& state, const char* typed)
{
    TSQLiteDatabase db(bench::EnsureBenchFile(static_cast<int>(state.range(0))));
    quorva::FileStoreConnection store(db);
    const SqlStatement exact = quorva::DuplicateStatement(quorva::Column::wh, kStored);
    std::size_t found = 0;
    for (auto _ : state) {
        const double ours = bench::SecondsOf([&] { found = quorva::FindReference(store, typed).size(); });
        const double exactMatch = bench::SecondsOf([&] { db.Query(exact)->CountRows(); });
        state.SetIterationTime(ours);
        state.counters["exact_ms"] = exactMatch * 1e3;
        state.counters["ratio"] = ours / exactMatch;
    }
    state.counters["found"] = static_cast<double>(found);
}

void Pairs(benchmark::internal::Benchmark* b)
{
    b->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(9)->ReportAggregatesOnly(true)->UseManualTime();
}

}  // namespace

BENCHMARK_CAPTURE(LookUpAgainstExactMatch, as_stored, kStored)->Arg(bench::kRecordCount)->Apply(Pairs);
BENCHMARK_CAPTURE(LookUpAgainstExactMatch, other_spelling, kOtherSpelling)->Arg(bench::kRecordCount)->Apply(Pairs);
BENCHMARK_CAPTURE(LookUpAgainstExactMatch, as_stored, kStored)->Arg(bench::kLargeRecordCount)->Apply(Pairs);
BENCHMARK_CAPTURE(LookUpAgainstExactMatch, other_spelling, kOtherSpelling)->Arg(bench::kLargeRecordCount)->Apply(Pairs);
BENCHMARK_MAIN();
