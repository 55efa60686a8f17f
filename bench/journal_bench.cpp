// What the history and the recycle bin cost, each paired with what the
// register did before them, on copies of the 100,000-record register:
// - one registration (the insert in its transaction) with its history row,
//   against the same insert without it;
// - a clear of all 100,000 records into the recycle bin, against a plain
//   DELETE of them.
// Each repetition is one run of pairs, so both sides of a pair meet the same
// moment of a shared machine; the ratio is the repetition's.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "bench/bench_records.h"
#include "register/core/history/journal_tables.h"
#include "register/core/records/document_statements.h"
#include "register/core/storage/change_journal.h"
#include "register/core/storage/file_store.h"
#include "register/core/storage/server_store.h"
#include "register/core/storage/store_settings.h"

namespace {

namespace fs = std::filesystem;

constexpr int kInsertPairs = 100;
const quorva::ChangeAuthor kAuthor{"2026-12-08 10:00:00", "张三", "PC-01"};

std::string FreshCopy(const char* name)
{
    const fs::path copy = fs::temp_directory_path() / name;
    fs::copy_file(bench::EnsureBenchFile(), copy, fs::copy_options::overwrite_existing);
    return copy.string();
}

double TimedInsert(quorva::StoreConnection& connection, int n, bool withHistory)
{
    const quorva::RecordFields fields = bench::RealisticRecord(n);
    return bench::SecondsOf([&] {
        quorva::StoreTransaction transaction(connection);
        const std::int64_t id = connection.InsertRecord(quorva::InsertRecordStatement(fields));
        if (withHistory) quorva::JournalChange(connection, {quorva::ChangeAction::Insert, id, "SW-1"}, kAuthor);
        transaction.Commit();
    });
}

void InsertPairs(benchmark::State& state, quorva::StoreConnection& connection)
{
    quorva::EnsureDocumentTable(connection);
    quorva::EnsureHistoryTable(connection);
    int n = bench::kRecordCount;
    for (auto _ : state) {
        double with = 0;
        double without = 0;
        // Each side goes first in half the pairs.
        for (int pair = 0; pair < kInsertPairs; ++pair) {
            const bool withFirst = pair % 2 == 0;
            (withFirst ? with : without) += TimedInsert(connection, ++n, withFirst);
            (withFirst ? without : with) += TimedInsert(connection, ++n, !withFirst);
        }
        state.SetIterationTime(with / kInsertPairs);
        state.counters["without_ms"] = without / kInsertPairs * 1e3;
        state.counters["ratio"] = with / without;
    }
}

void InsertWithItsHistoryRow(benchmark::State& state)
{
    quorva::FileStoreConnection connection(FreshCopy("quorva-bench-inserts.db"));
    InsertPairs(state, connection);
}

// The same on the server that bench/measure_server.sh starts.
void ServerInsertWithItsHistoryRow(benchmark::State& state)
{
    const auto variable = [](const char* name) { return std::string(std::getenv(name) ? std::getenv(name) : ""); };
    if (variable("QUORVA_PG_HOST").empty()) {
        state.SkipWithError("no server: run it through bench/measure_server.sh");
        return;
    }
    quorva::ServerStore server({quorva::kDefaultServerDriver, variable("QUORVA_PG_HOST"), variable("QUORVA_PG_PORT"),
                                variable("QUORVA_PG_DATABASE"), variable("QUORVA_PG_USER"),
                                variable("QUORVA_PG_PASSWORD")},
                               "");
    InsertPairs(state, *server.Open());
}

void ClearIntoTheBin(benchmark::State& state)
{
    for (auto _ : state) {
        quorva::FileStoreConnection ours(FreshCopy("quorva-bench-clear.db"));
        quorva::FileStoreConnection plain(FreshCopy("quorva-bench-delete.db"));
        const double clear = bench::SecondsOf([&] {
            quorva::StoreTransaction transaction(ours);
            quorva::JournalChange(ours, {quorva::ChangeAction::Clear}, kAuthor);
            for (const std::string& statement : ours.Dialect().ClearRecordTable()) ours.Execute(statement);
            transaction.Commit();
        });
        const double deletion = bench::SecondsOf([&] {
            quorva::StoreTransaction transaction(plain);
            plain.Execute("DELETE FROM Quorva");
            transaction.Commit();
        });
        state.SetIterationTime(clear);
        state.counters["delete_ms"] = deletion * 1e3;
        state.counters["ratio"] = clear / deletion;
    }
}

void Pairs(benchmark::internal::Benchmark* b)
{
    b->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5)->ReportAggregatesOnly(true)->UseManualTime();
}

}  // namespace

BENCHMARK(InsertWithItsHistoryRow)->Apply(Pairs);
BENCHMARK(ServerInsertWithItsHistoryRow)->Apply(Pairs);
BENCHMARK(ClearIntoTheBin)->Apply(Pairs);
BENCHMARK_MAIN();
