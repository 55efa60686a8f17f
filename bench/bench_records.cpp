#include "bench/bench_records.h"

#include <cstdio>
#include <filesystem>

#include "register/core/records/document_table.h"
#include "register/core/shell/settings.h"
#include "register/core/shell/startup.h"
#include "register/store/sqlite_database.h"

namespace bench {

namespace {

std::string BenchFile(int count)
{
    const std::string name = count == kRecordCount ? "quorva-bench-100k.db"
                                                   : "quorva-bench-" + std::to_string(count) + ".db";
    return (std::filesystem::temp_directory_path() / name).string();
}

bool HasRecords(const std::string& path, int count)
{
    if (!std::filesystem::exists(path)) return false;
    TSQLiteDatabase db(path);
    return db.HasTable(quorva::kTableName) && db.Query("select count(*) from Quorva")->Int64At(0) == count;
}

// Copies of the 100,000 records, fast enough for a benchmark's set-up.
void FillFromBaseFile(TSQLiteDatabase& db, int count)
{
    std::string columns;
    for (int c = 1; c < quorva::kColumnCount; ++c) {
        columns += std::string(c > 1 ? "," : "") + quorva::ColumnName(static_cast<quorva::Column>(c));
    }
    db.Execute("ATTACH DATABASE '" + EnsureBenchFile(kRecordCount) + "' AS base");
    db.Execute("BEGIN");
    for (int copy = 0; copy < count / kRecordCount; ++copy) {
        db.Execute("INSERT INTO main.Quorva (" + columns + ") SELECT " + columns + " FROM base.Quorva ORDER BY ID");
    }
    db.Execute("COMMIT");
}

}  // namespace

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

std::string EnsureBenchFile(int count)
{
    const std::string path = BenchFile(count);
    if (HasRecords(path, count)) return path;
    std::filesystem::remove(path);
    TSQLiteDatabase db(path);
    quorva::EnsureDocumentTable(db);
    if (count != kRecordCount) {
        FillFromBaseFile(db, count);
        return path;
    }
    db.Execute("BEGIN");
    for (int n = 0; n < kRecordCount; ++n) db.Execute(quorva::InsertRecordStatement(RealisticRecord(n)));
    db.Execute("COMMIT");
    return path;
}

void NameBenchFile(ProfileStore& settings, const std::string& appData, const std::string& path)
{
    const std::filesystem::path file(path);
    quorva::Settings ini(settings, appData + quorva::kSettingsFolderName + quorva::kSettingsFileName);
    ini.WriteText(quorva::keys::kDatabaseFolder, file.parent_path().string() + "/");
    ini.WriteText(quorva::keys::kDatabaseName, file.filename().string());
}

long long FileBytes(const std::string& path)
{
    return static_cast<long long>(std::filesystem::file_size(path));
}

}  // namespace bench
