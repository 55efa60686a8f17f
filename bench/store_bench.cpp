// Reading the whole register into a TSQLiteTable against the cheapest way
// to read the same texts: a bare sqlite3_step loop copying them into strings.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "register/core/document_statements.h"
#include "register/core/document_table.h"
#include "register/store/sqlite_database.h"

namespace {

constexpr int kRecordCount = 100000;
const char* const kListQuery = "SELECT * FROM Quorva";

std::string BenchFile()
{
    return (std::filesystem::temp_directory_path() / "quorva-bench-100k.db").string();
}

quorva::RecordFields RealisticRecord(int n)
{
    using quorva::Column;
    static const char* const kAgencies[] = {"市人民政府办公室", "省发展和改革委员会", "市财政局", "区教育局"};
    static const char* const kTypes[] = {"通知", "通报", "请示", "报告", "批复", "函"};
    quorva::RecordFields f{};
    const auto set = [&](Column c, std::string v) { f[static_cast<int>(c)] = std::move(v); };
    const int day = 1 + n % 28;
    const int month = 1 + n / 28 % 12;
    char date[16];
    std::snprintf(date, sizeof date, "20%02d%02d%02d", 15 + n / 4000 % 10, month, day);
    set(Column::swrq, date);
    set(Column::fwrq, date);
    set(Column::zzrq, date);
    set(Column::lwdw, kAgencies[n % 4]);
    set(Column::wz, kTypes[n % 6]);
    set(Column::wh, "京政办发〔2016〕" + std::to_string(n) + "号");
    set(Column::mmdj, n % 7 == 0 ? "秘密1年" : "");
    set(Column::jjcd, n % 5 == 0 ? "特急" : "平急");
    set(Column::wjbt, "关于做好第" + std::to_string(n) + "期安全生产专项检查和隐患排查治理工作的通知");
    set(Column::swzh, "收" + std::to_string(n));
    set(Column::bwh, "办" + std::to_string(n));
    set(Column::ybyj, "请办公室阅处。\r\n拟请分管领导阅示。");
    set(Column::fgldpx, "同意。");
    set(Column::zyldpx, "请相关科室抓紧落实。");
    set(Column::bljg, n % 3 == 0 ? "已落实" : "");
    set(Column::tmbh, "110000" + std::to_string(1000000 + n));
    set(Column::zsdw, "各区人民政府，市政府各委、办、局");
    set(Column::fbcq, "县团级");
    set(Column::tmzzdw, "市委办公厅");
    set(Column::cdh, "DA-" + std::to_string(n));
    set(Column::ybj, n % 2 == 0 ? "是" : "否");
    set(Column::lrr, "张三");
    set(Column::bz, "");
    set(Column::ycp, n % 3 == 0 ? "是" : "否");
    set(Column::cpr, "李四");
    return f;
}

void EnsureBenchFile(const std::string& path)
{
    if (std::filesystem::exists(path)) {
        TSQLiteDatabase db(path);
        if (db.HasTable(quorva::kTableName) &&
            db.Query("select count(*) from Quorva")->Int64At(0) == kRecordCount) {
            return;
        }
    }
    std::filesystem::remove(path);
    TSQLiteDatabase db(path);
    quorva::EnsureDocumentTable(db);
    db.Execute("BEGIN");
    for (int n = 0; n < kRecordCount; ++n) db.Execute(quorva::InsertRecordStatement(RealisticRecord(n)));
    db.Execute("COMMIT");
}

void BM_QueryIntoTable(benchmark::State& state)
{
    const std::string path = BenchFile();
    EnsureBenchFile(path);
    for (auto _ : state) {
        TSQLiteDatabase db(path);
        std::unique_ptr<TSQLiteTable> table = db.Query(kListQuery);
        benchmark::DoNotOptimize(table->CountRows());
    }
}

void BM_BareStepLoop(benchmark::State& state)
{
    const std::string path = BenchFile();
    EnsureBenchFile(path);
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
