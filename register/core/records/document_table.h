#pragma once

#include <array>
#include <string>
#include <string_view>

class TSQLiteDatabase;

// The one table of the register. This header is the only place that lists its
// columns; every other file names them through Column.
namespace quorva {

inline constexpr const char* kTableName = "Quorva";

// In the table's own order.
enum class Column {
    ID, swrq, lwdw, wz, wh, mmdj, jjcd, wjbt, swzh, ybyj, fgldpx, zyldpx, bljg, tmbh,
    zsdw, fwrq, fbcq, tmzzdw, zzrq, zdyzd, cdh, ybj, lrr, bz, ycp, cpr, bwh,
};
inline constexpr int kColumnCount = 27;

const char* ColumnName(Column column);

// The 25 columns every writer writes, in the order of the insert and the
// update (ID is the database's, zdyzd is reserved).
inline constexpr std::array<Column, 25> kWrittenColumns = {
    Column::swrq, Column::tmbh, Column::lwdw, Column::wz,     Column::wh,     Column::zsdw, Column::wjbt,
    Column::mmdj, Column::jjcd, Column::fwrq, Column::fbcq,   Column::tmzzdw, Column::zzrq, Column::bz,
    Column::swzh, Column::ybyj, Column::fgldpx, Column::zyldpx, Column::bljg, Column::cdh,  Column::ybj,
    Column::lrr,  Column::ycp,  Column::cpr,  Column::bwh,
};

// Both flag columns hold this for yes; anything else, empty included, is no.
inline constexpr const char* kYes = "是";
inline constexpr const char* kNo = "否";
bool IsYes(std::string_view flag);

std::string CreateTableStatement();
std::string CreateIndexStatement();

class StoreConnection;

// Creates the table and its index when the store has no table Quorva.
void EnsureDocumentTable(StoreConnection& store);
void EnsureDocumentTable(TSQLiteDatabase& db);
// Drops nothing; creates table and index unconditionally.
void CreateDocumentTable(StoreConnection& store);
void CreateDocumentTable(TSQLiteDatabase& db);
// Whether the table Quorva has every column the register reads and writes
// (a table of an older layout lacks some, and no list could be loaded).
bool HasEveryColumn(TSQLiteDatabase& db);

// ASCII square brackets of a reference number become 〔 and 〕 before it is
// stored; nothing turns them back.
std::string ApplyBracketRule(std::string_view reference);

}  // namespace quorva
