#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <sqlite3.h>

#include "register/core/records/document_statements.h"
#include "register/core/records/document_table.h"
#include "register/core/storage/change_journal.h"
#include "register/core/storage/file_store.h"
#include "register/store/sqlite_database.h"
#include "tests/fuzz/fuzz_property.h"

// Any bytes as a backup file given to restore. Either it is refused and the
// register's file is as it was, or it is taken: the file is sound, holds
// the backup's records, and the safety copy holds the records from before.
using namespace quorva;
namespace fs = std::filesystem;

namespace {

// Every row of every table, a line each, or the error that stopped the reading.
std::string Contents(const std::string& path, const char* tables = "SELECT name FROM sqlite_master WHERE type='table'")
{
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    std::string text;
    const auto append = [](void* out, int count, char** values, char**) {
        for (int i = 0; i < count; ++i) *static_cast<std::string*>(out) += std::string(values[i] ? values[i] : "NULL") + "|";
        *static_cast<std::string*>(out) += "\n";
        return 0;
    };
    std::string names;
    sqlite3_exec(db, tables, append, &names, nullptr);
    for (std::size_t end; (end = names.find("|\n")) != std::string::npos; names.erase(0, end + 2)) {
        const std::string name = names.substr(0, end);
        text += name + ":\n";
        char* error = nullptr;
        sqlite3_exec(db, ("SELECT * FROM [" + name + "] ORDER BY 1").c_str(), append, &text, &error);
        if (error) text += std::string("error: ") + error + "\n";
        sqlite3_free(error);
    }
    sqlite3_close(db);
    return text;
}

// The records' columns but the ID as text, a line a record, in sorted
// order: a backup whose IDs are no keys (its ID column made without INTEGER
// PRIMARY KEY) restores its records under IDs the register gives them, and
// a value's type is the register's table's.
std::string Records(const std::string& path)
{
    std::string select = "SELECT ";
    for (int column = 0; column < kColumnCount; ++column) {
        if (static_cast<Column>(column) == Column::ID) continue;
        select += std::string(select.size() > 7 ? "," : "") + "ifnull(CAST([" + ColumnName(static_cast<Column>(column)) + "] AS TEXT),'')";
    }
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    std::vector<std::string> lines;
    const auto append = [](void* out, int count, char** values, char**) {
        std::string line;
        for (int i = 0; i < count; ++i) line += std::string(values[i] ? values[i] : "NULL") + "|";
        static_cast<std::vector<std::string>*>(out)->push_back(line);
        return 0;
    };
    sqlite3_exec(db, (select + " FROM Quorva").c_str(), append, &lines, nullptr);
    sqlite3_close(db);
    std::sort(lines.begin(), lines.end());
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    return text;
}

// A register of two records, made once per process.
struct Register {
    Register() : folder(fs::temp_directory_path() / ("quorva-fuzz-restore-" + std::to_string(getpid())))
    {
        fs::create_directories(folder);
        TSQLiteDatabase db(original);
        EnsureDocumentTable(db);
        RecordFields fields{};
        for (const char* title : {"关于𠀋的通知", "通知"}) {
            fields[static_cast<int>(Column::wjbt)] = title;
            db.Execute(InsertRecordStatement(fields));
        }
        before = Contents(original);
    }
    fs::path folder;
    std::string original = (folder / "original.db").string();
    std::string live = (folder / "Quorva.db").string();
    std::string backup = (folder / "Quorva.db.bak").string();
    std::string before;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const Register r;
    for (const auto& entry : fs::directory_iterator(r.folder)) {
        if (entry.path().string() != r.original) fs::remove(entry.path());
    }
    fs::copy_file(r.original, r.live);
    std::ofstream(r.backup, std::ios::binary).write(reinterpret_cast<const char*>(data), size);
    std::optional<std::string> safetyCopy;
    FileStore store(r.live);
    try {
        safetyCopy = store.Restore(r.backup, "20261208-100000", ChangeAuthor{"2026-12-08 10:00:00", "张三", "PC-01"});
    } catch (const std::exception&) {
    }
    if (!safetyCopy) {
        Require(Contents(r.live) == r.before, "a refused backup leaves the register as it was");
        return 0;
    }
    Require(size == 0 || std::string_view(reinterpret_cast<const char*>(data), size).rfind("SQLite format 3", 0) == 0,
            "only a database, or a backup of nothing, restores");
    TSQLiteDatabase restored(r.live, TSQLiteDatabase::ReadOnly{});
    Require(restored.Query("PRAGMA integrity_check")->TextAt(0) == "ok", "a restored register is sound");
    Require(Records(*safetyCopy) == Records(r.original), "the safety copy holds the records from before");
    Require(Records(r.live) == Records(r.backup), "the register holds the backup's records");
    return 0;
}
