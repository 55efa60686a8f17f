#include "register/core/barcode/scan_intake.h"

#include <optional>

#include "register/core/entry/number_advance.h"
#include "register/core/shell/settings.h"
#include "register/core/text/text_encoding.h"
#include "register/core/storage/change_journal.h"
#include "register/core/storage/store.h"
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

const char* const kLevels[] = {"秘密", "机密", "绝密"};

// The dialog's required fields, in its order.
const struct {
    Column column;
    const char* name;
} kRequired[] = {{Column::lwdw, "来文单位"}, {Column::wh, "来文号"}, {Column::wjbt, "文件标题"}};

const struct {
    Column column;
    const char* name;
} kDuplicateChecks[] = {{Column::wh, "来文号"}, {Column::swzh, "收文号"}, {Column::bwh, "办文号"}};

const char* const kNotADocument = "扫描内容不是公文二维条码，未处理：";
const char* const kNotStored = "，本次扫描未录入";
constexpr std::size_t kShownScanCharacters = 40;

std::string& Field(RecordFields& fields, Column column) { return fields[static_cast<int>(column)]; }
const std::string& Field(const RecordFields& fields, Column column) { return fields[static_cast<int>(column)]; }

// The classification's level when it starts with one, the rest as period.
std::pair<std::string, std::string> SplitLevel(const std::string& mmdj)
{
    for (const char* level : kLevels) {
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

std::string NextNumber(const Settings& settings, const char* key)
{
    const std::string last = settings.ReadText(key, "");
    if (last.empty()) return "";
    return AdvanceNumber(last).value_or("");
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

std::string ExistingRecord(TSQLiteTable& found)
{
    return "ID " + std::to_string(found.Int64At(found.ColumnIndex(ColumnName(Column::ID)))) + "，收文号“" +
           found.TextAt(found.ColumnIndex(ColumnName(Column::swzh))) + "”，《" +
           found.TextAt(found.ColumnIndex(ColumnName(Column::wjbt))) + "》";
}

std::string StoredText(const RecordFields& fields, const ScannedDocument& document)
{
    std::string text = "已静默录入：收文号“" + Field(fields, Column::swzh) + "”，来文号“" +
                       Field(fields, Column::wh) + "”，《" + Field(fields, Column::wjbt) + "》";
    for (Column column : document.unreadDates) {
        text += std::string("；") + (column == Column::fwrq ? "成文日期" : "制作日期") + "“" + document[column] +
                "”无法识别为日期，按原文保存";
    }
    return text;
}

}  // namespace

void FillFromScan(const ScannedDocument& document, EntryDialog& dialog)
{
    for (const auto& entry : kBarcodeTextFields) dialog.SetText(entry.field, document[entry.column]);
    const auto [level, period] = SplitLevel(document[Column::mmdj]);
    dialog.SetText(EntryField::emmdj1, level);
    dialog.SetText(EntryField::emmdj2, period);
    const std::string& issued = document[Column::fwrq];
    if (const std::optional<CivilDate> date = ParseCompactDate(issued); date && issued.size() == 8) {
        dialog.SetDate(EntryField::efwrq, *date);
    } else if (!issued.empty()) {
        std::string note = dialog.Text(EntryField::ebz);
        if (!note.empty()) note += "\r\n";
        dialog.SetText(EntryField::ebz, note + kUnreadIssueDateNote + issued);
    }
}

ScanIntake::ScanIntake(MainWindowPresenter& presenter, MainView& view, ScanSignals& signals)
    : presenter_(presenter), view_(view), signals_(signals)
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
        return;
    }
    if (presenter_.queryMode()) {
        FindRecords(*document);
    } else {
        RegisterSilently(*document);
    }
}

void ScanIntake::Refuse(const std::string& status)
{
    view_.SetStatusText(status);
    signals_.Refused();
}

void ScanIntake::FindRecords(const ScannedDocument& document)
{
    // The reference number names a document; the barcode number stands in
    // for it only when the barcode carries none.
    const Column key = document[Column::wh].empty() ? Column::tmbh : Column::wh;
    presenter_.ShowSearchResult({SearchTerm{key, SearchMode::Exact, document[key]}});
}

void ScanIntake::RegisterSilently(const ScannedDocument& document)
{
    for (const auto& required : kRequired) {
        if (document[required.column].empty()) {
            Refuse(std::string("条码中没有") + required.name + kNotStored);
            return;
        }
    }
    Settings settings = presenter_.settings();
    RecordFields fields = document.fields;
    Field(fields, Column::swrq) = presenter_.today().ToCompact();
    Field(fields, Column::swzh) = NextNumber(settings, keys::kReceiptNumber);
    Field(fields, Column::bwh) = NextNumber(settings, keys::kHandlingNumber);

    std::int64_t id = 0;
    {
        const std::unique_ptr<StoreConnection> db = presenter_.store().Open();
        EnsureDocumentTable(*db);
        for (const auto& check : kDuplicateChecks) {
            const std::string& value = Field(fields, check.column);
            if (value.empty()) continue;
            const std::unique_ptr<TSQLiteTable> found = db->Query(DuplicateStatement(check.column, value));
            if (found->CountRows() < 1) continue;
            Refuse(std::string(check.name) + "“" + value + "”已存在于数据库（" + ExistingRecord(*found) + "）" +
                   kNotStored);
            return;
        }
        StoreTransaction transaction(*db);
        id = db->InsertRecord(InsertScannedStatement(fields));
        JournalChange(*db, {ChangeAction::Insert, id, Field(fields, Column::swzh)}, presenter_.Author());
        transaction.Commit();
    }
    settings.WriteText(keys::kReceiptNumber, Field(fields, Column::swzh));
    settings.WriteText(keys::kHandlingNumber, Field(fields, Column::bwh));
    presenter_.Button3Click();
    // The new record is normally the last row, so the search runs backwards.
    const RecordList& rows = presenter_.rows();
    for (std::size_t i = rows.size(); i-- > 0;) {
        if (rows[i].at(Column::ID) == std::to_string(id)) {
            view_.SelectRow(static_cast<int>(i));
            break;
        }
    }
    view_.SetStatusText(StoredText(fields, document));
    signals_.Stored();
}

}  // namespace quorva
