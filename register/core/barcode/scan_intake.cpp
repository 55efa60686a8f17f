#include "register/core/barcode/scan_intake.h"

#include <algorithm>
#include <optional>

#include "register/core/deadlines/deadline_table.h"
#include "register/core/entry/number_advance.h"
#include "register/core/entry/number_counters.h"
#include "register/core/entry/register_numbers.h"
#include "register/core/records/reference_number.h"
#include "register/core/storage/change_journal.h"
#include "register/core/storage/store.h"
#include "register/core/shell/settings.h"
#include "register/core/text/text_encoding.h"
#include "register/store/sqlite_table.h"

namespace quorva {

namespace {

const struct {
    Column column;
    EntryField field;
} kBarcodeTextFields[] = {
    {Column::tmbh, EntryField::etmbh}, {Column::lwdw, EntryField::elwdw},     {Column::wz, EntryField::ewz},
    {Column::wh, EntryField::ewh},     {Column::zsdw, EntryField::ezsdw},     {Column::wjbt, EntryField::ewjbt},
    {Column::jjcd, EntryField::ejjcd}, {Column::fbcq, EntryField::efbcq},     {Column::tmzzdw, EntryField::etmzzdw},
    {Column::zzrq, EntryField::ezzrq},
};

// Where the dialog shows a field that does not fit: the issue date's text
// waits in 备注, as its picker cannot hold it.
const struct {
    Column column;
    EntryField field;
} kMarkedFields[] = {
    {Column::mmdj, EntryField::emmdj1}, {Column::jjcd, EntryField::ejjcd},
    {Column::zzrq, EntryField::ezzrq},  {Column::fwrq, EntryField::ebz},
};

// The fields a record needs, in the dialog's order, and the issue date, which
// every document has and the edit command's picker needs.
const struct {
    Column column;
    const char* name;
} kRequired[] = {{Column::lwdw, "来文单位"}, {Column::wh, "来文号"}, {Column::wjbt, "文件标题"}, {Column::fwrq, "成文日期"}};

const struct {
    Column column;
    const char* name;
} kCheckedFields[] = {{Column::fwrq, "成文日期"}, {Column::zzrq, "制作日期"}, {Column::mmdj, "密级"}, {Column::jjcd, "紧急程度"}};

const struct {
    Column column;
    const char* name;
} kDuplicateChecks[] = {{Column::wh, "来文号"}, {Column::swzh, "收文号"}, {Column::bwh, "办文号"}};

const char* const kNotADocument = "扫描内容不是公文二维条码，未处理：";
const char* const kNotStored = "，本次扫描未录入";
const char* const kKeptIn = "，已记入 ";
const char* const kNotKept = "，也无法写入“未录入扫描.txt”，请手工登记";
const char* const kFieldsMissing = "条码的字段数不足，分隔符“^”有缺失";
const char* const kMisplaced = "条码字段可能错位（“^”多余或缺失）：";
const char* const kUnreadable = "无法识别";
const char* const kNoKeys = "条码中既没有来文号也没有条码编号，无法查询";
constexpr std::size_t kShownScanCharacters = 40;

std::string& Field(RecordFields& fields, Column column) { return fields[static_cast<int>(column)]; }
const std::string& Field(const RecordFields& fields, Column column) { return fields[static_cast<int>(column)]; }

// The classification's level when it starts with one, the rest as period.
std::pair<std::string, std::string> SplitLevel(const std::string& mmdj)
{
    for (const char* level : kClassificationLevels) {
        const std::string prefix = level;
        if (mmdj.compare(0, prefix.size(), prefix) == 0) return {prefix, mmdj.substr(prefix.size())};
    }
    return {mmdj, ""};
}

std::string Shortened(const std::string& text)
{
    std::u16string wide = Utf8ToUtf16(text);
    if (wide.size() <= kShownScanCharacters) return text;
    wide.resize(kShownScanCharacters);
    return Utf16ToUtf8(wide) + "…";
}

bool IsMisfit(const ScannedDocument& document, Column column)
{
    return std::find(document.misfits.begin(), document.misfits.end(), column) != document.misfits.end();
}

// Why the document cannot become a record without the clerk; empty when it
// can.
std::string WhyUnsound(const ScannedDocument& document)
{
    // Misplaced separators first: an empty field is then only their symptom.
    if (document.fieldsMissing) return kFieldsMissing;
    std::string misfits;
    for (const auto& checked : kCheckedFields) {
        if (!IsMisfit(document, checked.column)) continue;
        misfits += std::string(misfits.empty() ? "" : "，") + checked.name + "“" + document[checked.column] + "”";
    }
    if (!misfits.empty()) return kMisplaced + misfits + kUnreadable;
    for (const auto& required : kRequired) {
        if (document[required.column].empty()) return std::string("条码中没有") + required.name;
    }
    return "";
}

// The receipt number silent entry gives the record: without one the record
// could not be found again by it, so its absence refuses the scan.
std::string ProposeNumbers(RegisterNumbers& numbers, const Settings& settings, RecordFields& fields)
{
    Field(fields, Column::swzh) = numbers.Propose(EntryField::eswzh);
    Field(fields, Column::bwh) = numbers.Propose(EntryField::ebwh);
    if (!Field(fields, Column::swzh).empty()) return "";
    return "无法由上一个收文号“" + settings.ReadText(keys::kReceiptNumber, "") + "”推出新的收文号";
}

// The 25 columns every registration writes and the barcode's custom field.
SqlStatement InsertScannedStatement(const RecordFields& fields)
{
    SqlStatement statement{std::string("INSERT INTO ") + kTableName + "(", {}};
    std::string placeholders;
    const auto add = [&](Column column) {
        if (!statement.values.empty()) {
            statement.text += ",";
            placeholders += ",";
        }
        statement.text += ColumnName(column);
        placeholders += "?";
        statement.values.emplace_back(Field(fields, column));
    };
    for (Column column : kWrittenColumns) add(column);
    add(Column::zdyzd);
    statement.text += ") VALUES (" + placeholders + ");";
    return statement;
}

// The records that already hold the value; the reference number in its
// normal form. Nothing when there are none.
std::unique_ptr<TSQLiteTable> Duplicates(StoreConnection& db, Column column, const std::string& value)
{
    if (column == Column::wh) {
        const std::vector<std::int64_t> ids = FindReference(db, value);
        return ids.empty() ? nullptr : db.Query(RecordsByIdStatement(ids));
    }
    std::unique_ptr<TSQLiteTable> found = db.Query(DuplicateStatement(column, value));
    return found->CountRows() < 1 ? nullptr : std::move(found);
}

std::string ExistingRecord(TSQLiteTable& found)
{
    return "ID " + std::to_string(found.Int64At(found.ColumnIndex(ColumnName(Column::ID)))) + "，收文号“" +
           found.TextAt(found.ColumnIndex(ColumnName(Column::swzh))) + "”，《" +
           found.TextAt(found.ColumnIndex(ColumnName(Column::wjbt))) + "》";
}

std::string StoredText(const RecordFields& fields)
{
    return "已静默录入：收文号“" + Field(fields, Column::swzh) + "”，来文号“" + Field(fields, Column::wh) + "”，《" +
           Field(fields, Column::wjbt) + "》";
}

}  // namespace

std::vector<EntryField> FillFromScan(const ScannedDocument& document, EntryDialog& dialog)
{
    for (const auto& entry : kBarcodeTextFields) dialog.SetText(entry.field, document[entry.column]);
    const auto [level, period] = SplitLevel(document[Column::mmdj]);
    dialog.SetText(EntryField::emmdj1, level);
    dialog.SetText(EntryField::emmdj2, period);
    const std::string& issued = document[Column::fwrq];
    if (const std::optional<CivilDate> date = ParseCompactDate(issued); date && !IsMisfit(document, Column::fwrq)) {
        dialog.SetDate(EntryField::efwrq, *date);
    } else if (!issued.empty()) {
        std::string note = dialog.Text(EntryField::ebz);
        if (!note.empty()) note += "\r\n";
        dialog.SetText(EntryField::ebz, note + kUnreadIssueDateNote + issued);
    }
    std::vector<EntryField> marked;
    for (const auto& entry : kMarkedFields) {
        if (IsMisfit(document, entry.column)) marked.push_back(entry.field);
    }
    return marked;
}

ScanIntake::ScanIntake(MainWindowPresenter& presenter, MainView& view, ScanSignals& signals, UnstoredScans& unstored)
    : presenter_(presenter), view_(view), signals_(signals), unstored_(unstored)
{
}

bool ScanIntake::WantsScans() const
{
    return presenter_.state().silentEntry || presenter_.queryMode();
}

void ScanIntake::ScanArrived(const std::string& text)
{
    if (!WantsScans()) return;
    const std::optional<ScannedDocument> document = ParseDocumentBarcode(text);
    if (!document) {
        Refuse(kNotADocument + Shortened(text));
    } else if (!presenter_.queryMode()) {
        RegisterSilently(text, *document);
    } else {
        try {
            FindRecords(*document);
        } catch (const std::exception& error) {
            Refuse(std::string("查询失败：") + error.what());
        }
    }
}

void ScanIntake::Refuse(const std::string& status)
{
    view_.SetStatusText(status);
    signals_.Refused();
}

void ScanIntake::Keep(const std::string& text, const std::string& reason)
{
    // Beside the records (for the server, beside the settings file), else
    // beside the settings file.
    const std::optional<std::string> file =
        unstored_.Keep({presenter_.store().SideFolder(), FolderOf(presenter_.state().settingsPath)}, text, reason);
    Refuse(reason + kNotStored + (file ? kKeptIn + *file : kNotKept));
}

void ScanIntake::FindRecords(const ScannedDocument& document)
{
    // The reference number names a document; the barcode number stands in
    // for it only when the barcode carries none.
    const std::string& reference = document[Column::wh];
    const std::string& barcode = document[Column::tmbh];
    if (reference.empty() && barcode.empty()) {
        Refuse(kNoKeys);
        return;
    }
    const bool found = presenter_.ShowFoundRecords([&](StoreConnection& store) {
        if (reference.empty()) {
            return store.Query(
                SearchStatement(store.Dialect(), {SearchTerm{Column::tmbh, SearchMode::Exact, barcode}}));
        }
        const std::vector<std::int64_t> ids = FindReference(store, reference);
        return ids.empty() ? TTableBuilder({}, {}).Finish() : store.Query(RecordsByIdStatement(ids));
    });
    const std::string key = reference.empty() ? "条码编号“" + barcode + "”" : "来文号“" + reference + "”";
    if (!found) {
        Refuse("未查询到" + key + "的记录");
        return;
    }
    view_.SetStatusText("查询到" + key + "的记录 " + std::to_string(presenter_.rows().size()) + " 条");
    signals_.Stored();
}

void ScanIntake::RegisterSilently(const std::string& text, const ScannedDocument& document)
{
    Settings settings = presenter_.settings();
    const CivilDate received = presenter_.today();
    RegisterNumbers numbers(presenter_.store(), settings, received);
    RecordFields fields = document.fields;
    Field(fields, Column::swrq) = received.ToCompact();
    std::string reason = WhyUnsound(document);
    std::int64_t id = 0;
    try {
        if (reason.empty()) reason = ProposeNumbers(numbers, settings, fields);
        if (reason.empty()) reason = Store(numbers, fields, id);
    } catch (const std::exception& error) {
        // The store could not be reached or refused: the scan is kept.
        reason = error.what();
    }
    if (!reason.empty()) {
        Keep(text, reason);
        return;
    }
    try {
        // A counter that cannot advance is left as the clerk set it; on the
        // server the counters moved with the record.
        if (presenter_.store().Kind() != StoreKind::Server) {
            const std::string& handling = Field(fields, Column::bwh);
            RecordNumbers(settings, Field(fields, Column::swzh),
                          handling.empty() ? std::nullopt : std::optional<std::string>(handling), received);
        }
        ShowStored(fields, id);
    } catch (const std::exception& error) {
        Refuse(StoredText(fields) + "；但" + error.what());
    }
}

std::string ScanIntake::Store(RegisterNumbers& numbers, RecordFields& fields, std::int64_t& id)
{
    const std::unique_ptr<StoreConnection> db = presenter_.store().Open();
    EnsureDocumentTable(*db);
    // On the server the counters' lock makes the checks and the insert one
    // step against other clerks' scans; a refusal takes it all back.
    StoreTransaction transaction(*db);
    if (presenter_.store().Kind() == StoreKind::Server) numbers.AllocateOnServer(*db, fields);
    for (const auto& check : kDuplicateChecks) {
        const std::string& value = Field(fields, check.column);
        if (value.empty()) continue;
        const std::unique_ptr<TSQLiteTable> found = Duplicates(*db, check.column, value);
        if (!found) continue;
        return std::string(check.name) + "“" + value + "”已存在于数据库（" + ExistingRecord(*found) + "）";
    }
    id = db->InsertRecord(InsertScannedStatement(fields));
    // A deadline left by a record of the same ID is not this one's.
    SaveOwnDeadline(*db, id, std::nullopt);
    JournalChange(*db,
                  presenter_.ChangeBy(ChangeAction::Insert, id, Field(fields, Column::swzh), Field(fields, Column::lrr)),
                  presenter_.Author());
    transaction.Commit();
    return "";
}

void ScanIntake::ShowStored(const RecordFields& fields, std::int64_t id)
{
    presenter_.Button3Click();
    // The new record is normally the last row, so the search runs backwards.
    const RecordList& rows = presenter_.rows();
    for (std::size_t i = rows.size(); i-- > 0;) {
        if (rows[i].at(Column::ID) == std::to_string(id)) {
            view_.SelectRow(static_cast<int>(i));
            break;
        }
    }
    view_.SetStatusText(StoredText(fields));
    signals_.Stored();
}

}  // namespace quorva
