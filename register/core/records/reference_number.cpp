#include "register/core/records/reference_number.h"

#include <algorithm>

#include "register/core/records/document_table.h"
#include "register/core/text/text_encoding.h"
#include "register/core/storage/store.h"
#include "register/store/sqlite_table.h"

namespace quorva {

namespace {

constexpr char16_t kOpening = u'〔';
constexpr char16_t kClosing = u'〕';
const std::u16string_view kOpenings = u"[［〔﹝【〖〘(（﹙";
const std::u16string_view kClosings = u"]］〕﹞】〗〙)）﹚";
const std::u16string_view kSpaces = u" \t\u3000\u00A0";
// Full-width forms of the ASCII characters lie this far above them.
constexpr char16_t kFullWidthOffset = 0xFEE0;
// No UTF-8 text has this byte, so every text that starts with a prefix
// sorts before the prefix followed by it.
const char* const kAfterEveryText = "\xFF";
// Each range is one seek in the index; a number with two brackets and two
// runs of digits has 400 spellings.
constexpr std::size_t kMaxPrefixes = 1024;
constexpr char16_t kLikeEscape = u'\\';

bool IsAsciiAlphanumeric(char16_t c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

bool IsFullWidthAlphanumeric(char16_t c)
{
    return c > kFullWidthOffset && IsAsciiAlphanumeric(static_cast<char16_t>(c - kFullWidthOffset));
}

char16_t NormalCharacter(char16_t c)
{
    if (kOpenings.find(c) != std::u16string_view::npos) return kOpening;
    if (kClosings.find(c) != std::u16string_view::npos) return kClosing;
    if (IsFullWidthAlphanumeric(c)) return static_cast<char16_t>(c - kFullWidthOffset);
    return c;
}

// Every character a character of the normal form may have been stored as.
std::u16string Spellings(char16_t normal)
{
    if (normal == kOpening) return std::u16string(kOpenings);
    if (normal == kClosing) return std::u16string(kClosings);
    if (IsAsciiAlphanumeric(normal)) return {normal, static_cast<char16_t>(normal + kFullWidthOffset)};
    return {normal};
}

// The key in pieces, each with the spellings it is looked up in: a bracket
// in any shape and width, a run of digits and letters in either width (a
// run typed half in each is the one spelling the look-up does not reach),
// any other character as it is.
std::vector<std::vector<std::u16string>> SpelledPieces(const std::u16string& key)
{
    std::vector<std::vector<std::u16string>> pieces;
    for (std::size_t i = 0; i < key.size();) {
        std::size_t end = i + 1;
        if (IsAsciiAlphanumeric(key[i])) {
            while (end < key.size() && IsAsciiAlphanumeric(key[end])) ++end;
            std::u16string run = key.substr(i, end - i);
            std::u16string wide = run;
            for (char16_t& c : wide) c = static_cast<char16_t>(c + kFullWidthOffset);
            pieces.push_back({run, wide});
        } else {
            pieces.emplace_back();
            for (char16_t spelling : Spellings(key[i])) pieces.back().push_back({spelling});
        }
        i = end;
    }
    return pieces;
}

// The prefixes every looked-up spelling of `key` starts with: the whole key
// in each spelling when there are at most kMaxPrefixes of them, else as
// much of it as that many reach; and each space, for numbers stored with
// spaces in front.
std::vector<std::u16string> StoredPrefixes(const std::u16string& key)
{
    std::vector<std::u16string> prefixes{u""};
    for (const std::vector<std::u16string>& spellings : SpelledPieces(key)) {
        if (prefixes.size() * spellings.size() > kMaxPrefixes) break;
        std::vector<std::u16string> longer;
        for (const std::u16string& prefix : prefixes) {
            for (const std::u16string& spelling : spellings) longer.push_back(prefix + spelling);
        }
        prefixes = std::move(longer);
    }
    for (char16_t space : kSpaces) prefixes.push_back({space});
    return prefixes;
}

// Any spelling of `key`, spaces around it included, and a few texts more:
// a character with other spellings stands for any one character.
std::string NearPattern(const std::u16string& key)
{
    std::u16string pattern = u"%";
    for (char16_t c : key) {
        if (Spellings(c).size() > 1) {
            pattern += u'_';
            continue;
        }
        if (c == u'%' || c == u'_' || c == kLikeEscape) pattern += kLikeEscape;
        pattern += c;
    }
    return Utf16ToUtf8(pattern + u'%');
}

// Ranges of the indexed column, so that a register of any size is looked
// up through its index, and a pattern, so that only near matches come back.
// Ranges need text ordered by its bytes; a server that orders by language
// gets the pattern alone and scans on its side.
SqlStatement CandidatesStatement(const std::u16string& key, bool byteRanges)
{
    const std::string column = ColumnName(Column::wh);
    SqlStatement statement{std::string("SELECT ") + ColumnName(Column::ID) + "," + column + " FROM " + kTableName +
                               " WHERE " + column + " LIKE ? ESCAPE '\\'",
                           {NearPattern(key)}};
    if (!byteRanges) return statement;
    statement.text += " AND (";
    const std::vector<std::u16string> prefixes = StoredPrefixes(key);
    for (std::size_t i = 0; i < prefixes.size(); ++i) {
        if (i > 0) statement.text += " OR ";
        statement.text += "(" + column + ">=? AND " + column + "<?)";
        const std::string prefix = Utf16ToUtf8(prefixes[i]);
        statement.values.emplace_back(prefix);
        statement.values.emplace_back(prefix + kAfterEveryText);
    }
    statement.text += ")";
    return statement;
}

std::u16string NormalForm(std::string_view reference)
{
    std::u16string text = Utf8ToUtf16(reference);
    const std::size_t first = text.find_first_not_of(kSpaces);
    if (first == std::u16string::npos) return u"";
    text = text.substr(first, text.find_last_not_of(kSpaces) - first + 1);
    std::transform(text.begin(), text.end(), text.begin(), NormalCharacter);
    return text;
}

}  // namespace

std::string ReferenceKey(std::string_view reference)
{
    return Utf16ToUtf8(NormalForm(reference));
}

std::vector<std::int64_t> FindReference(StoreConnection& store, std::string_view reference)
{
    std::vector<std::int64_t> ids;
    const std::u16string key = NormalForm(reference);
    if (key.empty()) return ids;
    const std::unique_ptr<TSQLiteTable> candidates =
        store.Query(CandidatesStatement(key, store.Dialect().OrdersTextByBytes()));
    if (candidates->AtEnd()) return ids;
    const int id = candidates->ColumnIndex(ColumnName(Column::ID));
    const int wh = candidates->ColumnIndex(ColumnName(Column::wh));
    for (; !candidates->AtEnd(); candidates->MoveNext()) {
        if (NormalForm(candidates->TextAt(wh)) == key) ids.push_back(candidates->Int64At(id));
    }
    std::sort(ids.begin(), ids.end());
    return ids;
}

SqlStatement RecordsByIdStatement(const std::vector<std::int64_t>& ids)
{
    SqlStatement statement{std::string("SELECT * FROM ") + kTableName + " WHERE " + ColumnName(Column::ID) + " IN (",
                           {}};
    for (std::size_t i = 0; i < ids.size(); ++i) {
        statement.text += i == 0 ? "?" : ",?";
        statement.values.emplace_back(ids[i]);
    }
    statement.text += std::string(") ORDER BY ") + ColumnName(Column::ID);
    return statement;
}

}  // namespace quorva
