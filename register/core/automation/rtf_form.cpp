#include "register/core/automation/rtf_form.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <string_view>
#include <utility>

#include "register/core/automation/placeholder_search.h"
#include "register/core/text/text_encoding.h"

namespace quorva {

namespace {

constexpr int kGb2312CodePage = 936;
constexpr int kDefaultFallbackCount = 1;
constexpr long kUtf16Span = 0x10000;
constexpr long kUtf16SignedLimit = 0x8000;
constexpr char32_t kHighSurrogates = 0xD800;
constexpr char32_t kLowSurrogates = 0xDC00;
constexpr char32_t kSurrogatesEnd = 0xE000;
constexpr unsigned char kFirstLeadByte = 0x81;
// In the text that placeholders are looked for in, where a paragraph, cell or
// other break stands: no placeholder holds it, so none is found across one.
constexpr char kBreak = '\n';

// Groups whose text is not the document's: tables, pictures, field codes.
const char* const kSkippedDestinations[] = {"fonttbl", "colortbl", "stylesheet", "info",     "pict",
                                            "object",  "fldinst",  "listtable",  "themedata", "datastore"};
// Words that stand for a character or a break of their own.
const char* const kBreakingWords[] = {"par",    "line",   "tab",     "cell",   "row",    "nestcell", "sect",
                                      "page",   "column", "emdash",  "endash", "bullet", "lquote",   "rquote",
                                      "ldblquote", "rdblquote", "emspace", "enspace", "qmspace", "chpgn"};

// One character of the document's text: where it is written in the source
// and where its UTF-8 stands in the searched text.
struct TextUnit {
    std::size_t from = 0;
    std::size_t to = 0;
    std::size_t textBegin = 0;
    // The unit ends a control word that took no delimiter, so what replaces
    // it must not run on into that word.
    bool endsOpenWord = false;
};

struct GroupState {
    int fallbackCount = kDefaultFallbackCount;
    bool skipped = false;
};

template <std::size_t N>
bool Contains(const char* const (&words)[N], std::string_view word)
{
    return std::any_of(std::begin(words), std::end(words), [&](const char* w) { return word == w; });
}

std::string Utf8Of(char32_t c)
{
    std::u16string utf16;
    if (c >= kUtf16Span) {
        const char32_t v = c - kUtf16Span;
        utf16 += static_cast<char16_t>(kHighSurrogates + (v >> 10));
        utf16 += static_cast<char16_t>(kLowSurrogates + (v & 0x3FF));
    } else {
        utf16 += static_cast<char16_t>(c);
    }
    return Utf16ToUtf8(utf16);
}

// Reads an RTF document into its text, keeping for every character the
// source bytes that wrote it.
class RtfReader {
public:
    explicit RtfReader(std::string_view rtf) : rtf_(rtf) {}

    void Read()
    {
        groups_.push_back(GroupState{});
        bool groupStart = false;
        while (at_ < rtf_.size()) {
            const char c = rtf_[at_];
            const bool atGroupStart = std::exchange(groupStart, c == '{');
            if (c == '{') {
                groups_.push_back(groups_.back());
                ++at_;
            } else if (c == '}') {
                if (groups_.size() > 1) groups_.pop_back();
                ++at_;
            } else if (c == '\\') {
                ReadEscape(atGroupStart);
            } else if (c == '\r' || c == '\n') {
                ++at_;
            } else {
                AddText(at_, at_ + 1, static_cast<unsigned char>(c));
                ++at_;
            }
        }
    }

    const std::string& text() const { return text_; }
    const std::vector<TextUnit>& units() const { return units_; }

private:
    void ReadEscape(bool atGroupStart)
    {
        const std::size_t start = at_;
        if (at_ + 1 >= rtf_.size()) {
            ++at_;
            return;
        }
        const char next = rtf_[at_ + 1];
        if (std::isalpha(static_cast<unsigned char>(next))) {
            ReadWord(start, atGroupStart);
        } else if (next == '\'') {
            ReadByte(start);
        } else {
            at_ += 2;
            if (next == '\\' || next == '{' || next == '}') {
                AddText(start, at_, static_cast<unsigned char>(next));
            } else if (next == '*' && atGroupStart) {
                groups_.back().skipped = true;
            } else {
                Break();
            }
        }
    }

    void ReadWord(std::size_t start, bool atGroupStart)
    {
        std::size_t end = start + 1;
        while (end < rtf_.size() && std::isalpha(static_cast<unsigned char>(rtf_[end]))) ++end;
        const std::string_view word = rtf_.substr(start + 1, end - start - 1);
        const std::size_t numberStart = end;
        if (end < rtf_.size() && rtf_[end] == '-') ++end;
        while (end < rtf_.size() && std::isdigit(static_cast<unsigned char>(rtf_[end]))) ++end;
        const bool hasNumber = end > numberStart;
        const long number = hasNumber ? std::strtol(std::string(rtf_.substr(numberStart, end - numberStart)).c_str(),
                                                    nullptr, 10)
                                      : 0;
        const bool delimited = end < rtf_.size() && rtf_[end] == ' ';
        at_ = delimited ? end + 1 : end;
        if (!delimited) openWordEnd_ = at_;
        if (atGroupStart && Contains(kSkippedDestinations, word)) groups_.back().skipped = true;
        if (word == "u" && hasNumber) {
            ReadUnicode(start, number);
        } else if (word == "uc" && hasNumber) {
            groups_.back().fallbackCount = static_cast<int>(number);
        } else if (word == "ansicpg" && hasNumber) {
            codePage_ = static_cast<int>(number);
        } else if (word == "bin" && hasNumber) {
            at_ = std::min(rtf_.size(), at_ + static_cast<std::size_t>(std::max(0L, number)));
        } else if (Contains(kBreakingWords, word)) {
            Break();
        }
    }

    // \'hh, and in a double-byte code page the trail byte's \'hh with it.
    void ReadByte(std::size_t start)
    {
        const int lead = HexByteAt(start);
        at_ = start + 4;
        if (lead < 0) return;
        const bool doubleByte = codePage_ == kGb2312CodePage && lead >= kFirstLeadByte;
        const int trail = doubleByte ? HexByteAt(at_) : -1;
        if (trail < 0) {
            AddText(start, at_, static_cast<char32_t>(lead));
            return;
        }
        at_ += 4;
        const std::string bytes{static_cast<char>(lead), static_cast<char>(trail)};
        AddUtf8(start, at_, Gb18030ToUtf8(bytes));
    }

    int HexByteAt(std::size_t at) const
    {
        if (at + 4 > rtf_.size() || rtf_.compare(at, 2, "\\'") != 0) return -1;
        const std::string hex(rtf_.substr(at + 2, 2));
        if (!std::isxdigit(static_cast<unsigned char>(hex[0])) || !std::isxdigit(static_cast<unsigned char>(hex[1])))
            return -1;
        return static_cast<int>(std::strtol(hex.c_str(), nullptr, 16));
    }

    // \uN and the fallback characters after it, which readers that know \u skip.
    void ReadUnicode(std::size_t start, long number)
    {
        const char32_t unit = static_cast<char32_t>(number < 0 ? number + kUtf16Span : number);
        for (int i = 0; i < groups_.back().fallbackCount && at_ < rtf_.size(); ++i) SkipFallback();
        if (unit >= kHighSurrogates && unit < kLowSurrogates) {
            highSurrogate_ = unit;
            highStart_ = start;
            return;
        }
        if (unit >= kLowSurrogates && unit < kSurrogatesEnd && highSurrogate_) {
            const char32_t c = kUtf16Span + ((highSurrogate_ - kHighSurrogates) << 10) + (unit - kLowSurrogates);
            AddText(highStart_, at_, c);
        } else {
            AddText(start, at_, unit);
        }
    }

    void SkipFallback()
    {
        const char c = rtf_[at_];
        if (c == '{' || c == '}') return;
        if (HexByteAt(at_) >= 0) {
            at_ += 4;
        } else if (c == '\\') {
            at_ += 2;
        } else {
            ++at_;
        }
    }

    void AddText(std::size_t from, std::size_t to, char32_t c) { AddUtf8(from, to, Utf8Of(c)); }

    void AddUtf8(std::size_t from, std::size_t to, const std::string& utf8)
    {
        highSurrogate_ = 0;
        if (groups_.back().skipped) return;
        units_.push_back(TextUnit{from, to, text_.size(), from == openWordEnd_});
        text_ += utf8;
    }

    void Break()
    {
        if (!groups_.back().skipped) text_ += kBreak;
    }

    std::string_view rtf_;
    std::size_t at_ = 0;
    std::vector<GroupState> groups_;
    std::size_t openWordEnd_ = std::string_view::npos;
    int codePage_ = 0;
    char32_t highSurrogate_ = 0;
    std::size_t highStart_ = 0;
    std::string text_;
    std::vector<TextUnit> units_;
};

void AppendUnicodeEscape(std::string& out, long utf16)
{
    out += "\\u" + std::to_string(utf16 >= kUtf16SignedLimit ? utf16 - kUtf16Span : utf16) + "?";
}

// The value as RTF text in a group of its own, which keeps its one-byte
// fallbacks right whatever \uc the document has at that point.
std::string RtfValue(const std::string& value)
{
    std::string out = "{\\uc1 ";
    const std::vector<std::string> lines = ValueLines(value);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) out += "\\line ";
        for (char16_t unit : Utf8ToUtf16(lines[i])) {
            if (unit == u'\\' || unit == u'{' || unit == u'}') {
                out += '\\';
                out += static_cast<char>(unit);
            } else if (unit == u'\t') {
                out += "\\tab ";
            } else if (unit < 0x80) {
                out += static_cast<char>(unit);
            } else {
                AppendUnicodeEscape(out, unit);
            }
        }
    }
    return out + "}";
}

// The unit whose text holds byte `at` of the searched text.
std::size_t UnitAt(const std::vector<TextUnit>& units, std::size_t at)
{
    const auto after = std::upper_bound(units.begin(), units.end(), at,
                                        [](std::size_t a, const TextUnit& unit) { return a < unit.textBegin; });
    return static_cast<std::size_t>(after - units.begin()) - 1;
}

}  // namespace

std::string FillRtf(const std::string& rtf, const std::vector<PlaceholderFill>& fills)
{
    RtfReader reader(rtf);
    reader.Read();
    const std::vector<TextUnit>& units = reader.units();
    std::string out;
    std::size_t copied = 0;
    for (const PlaceholderMatch& match : FindPlaceholders(reader.text(), fills)) {
        const std::size_t first = UnitAt(units, match.begin);
        const std::size_t last = UnitAt(units, match.end - 1);
        for (std::size_t i = first; i <= last; ++i) {
            out.append(rtf, copied, units[i].from - copied);
            // A space ends the word before; RTF reads it as that word's delimiter.
            if (units[i].endsOpenWord) out += ' ';
            if (i == first) out += RtfValue(fills[match.fill].value);
            copied = units[i].to;
        }
    }
    return out.append(rtf, copied, std::string::npos);
}

}  // namespace quorva
