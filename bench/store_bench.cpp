// Reading the whole register into a TSQLiteTable against the cheapest way
// to read the same texts: a bare sqlite3_step loop copying them into strings.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "bench/bench_records.h"
#include "register/store/sqlite_database.h"

namespace {

const char* const kListQuery = "SELECT * FROM Quorva";

void BM_QueryIntoTable(benchmark::State& state)
{
    const std::string path = bench::EnsureBenchFile();
    for (auto _ : state) {
        TSQLiteDatabase db(path);
        std::unique_ptr<TSQLiteTable> table = db.Query(kListQuery);
        benchmark::DoNotOptimize(table->CountRows());
    }
}

void BM_BareStepLoop(benchmark::State& state)
{
    const std::string path = bench::EnsureBenchFile();
    for (auto _ : state) {
        sqlite3* db = nullptr;
        sqlite3_open(path.c_str(), &db);
        sqlite3_stmt* statement = nullptr;
        sqlite3_prepare_v2(db, kListQuery, -1, &statement, nullptr);
        std::vector<std::string> cells;
        while (sqlite3_step(statement) == SQLITE_ROW) {
            const int columns = sqlite3_column_count(statement);
            for (int c = 0; c < columns; ++c) {
                const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, c));
                cells.emplace_back(text ? text : "");
            }
        }
        sqlite3_finalize(statement);
        sqlite3_close(db);
        benchmark::DoNotOptimize(cells.size());
    }
}

}  // namespace

BENCHMARK(BM_QueryIntoTable)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_BareStepLoop)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK_MAIN();
