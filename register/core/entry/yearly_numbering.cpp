#include "register/core/entry/yearly_numbering.h"

#include <algorithm>
#include <vector>

#include "register/core/entry/number_advance.h"

namespace quorva {

namespace {

constexpr std::size_t kYearWidth = 4;

struct Piece {
    std::size_t start = 0;
    std::size_t length = 0;
};

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

std::vector<Piece> DigitRuns(const std::string& text)
{
    std::vector<Piece> runs;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!IsDigit(text[i])) continue;
        if (i == 0 || !IsDigit(text[i - 1])) runs.push_back({i, 0});
        ++runs.back().length;
    }
    return runs;
}

// Where the year and the sequence stand in a number.
struct NumberParts {
    std::optional<Piece> year;
    std::optional<Piece> sequence;
};

// `year` is four digits, or empty when the last registration's year is not
// one a number can hold.
NumberParts PartsOf(const std::string& number, const std::string& year)
{
    const std::vector<Piece> runs = DigitRuns(number);
    NumberParts parts;
    if (runs.empty()) return parts;
    const auto isYear = [&](const Piece& run) {
        return !year.empty() && number.compare(run.start, run.length, year) == 0;
    };
    const Piece last = runs.back();
    if (isYear(last)) {
        parts.year = last;
        if (runs.size() > 1) parts.sequence = runs[runs.size() - 2];
        return parts;
    }
    parts.sequence = last;
    for (std::size_t i = runs.size() - 1; i-- > 0;) {
        if (isYear(runs[i])) {
            parts.year = runs[i];
            return parts;
        }
    }
    // A year run together with its sequence, as in "20260041".
    if (!year.empty() && last.length > kYearWidth && number.compare(last.start, kYearWidth, year) == 0) {
        parts.year = Piece{last.start, kYearWidth};
        parts.sequence = Piece{last.start + kYearWidth, last.length - kYearWidth};
    }
    return parts;
}

std::string FirstOfSequence(const std::string& run)
{
    const bool padded = run.size() > 1 && run.front() == '0';
    return padded ? std::string(run.size() - 1, '0') + "1" : "1";
}

bool IsFourDigitYear(int year)
{
    return year >= 1000 && year <= 9999;
}

}  // namespace

std::optional<std::string> NextNumberInYear(const std::string& last, int lastYear, int year)
{
    if (year > lastYear) return RestartNumber(last, lastYear, year);
    return AdvanceNumber(last);
}

std::optional<std::string> RestartNumber(const std::string& last, int lastYear, int year)
{
    const NumberParts parts = PartsOf(last, IsFourDigitYear(lastYear) ? std::to_string(lastYear) : std::string());
    if (!parts.sequence && !parts.year) return std::nullopt;
    std::vector<std::pair<Piece, std::string>> changes;
    if (parts.sequence) {
        changes.emplace_back(*parts.sequence, FirstOfSequence(last.substr(parts.sequence->start, parts.sequence->length)));
    }
    if (parts.year) changes.emplace_back(*parts.year, std::to_string(year));
    // The later piece first, so the earlier one's place still holds.
    std::sort(changes.begin(), changes.end(), [](const auto& a, const auto& b) { return a.first.start > b.first.start; });
    std::string restarted = last;
    for (const auto& [piece, text] : changes) restarted.replace(piece.start, piece.length, text);
    return restarted;
}

}  // namespace quorva
