#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

// SQL NULL, for copies that keep every value as it was stored.
struct SqlNull {};

// A value bound to one "?" of a statement. Text is UTF-8.
using SqlValue = std::variant<std::string, std::int64_t, SqlNull>;

// Statement text with its bound values, in placeholder order. Values typed by
// the user travel here, never inside the text, so a quote, a semicolon or a
// column name in a value is stored and matched as the text it is.
struct SqlStatement {
    std::string text;
    std::vector<SqlValue> values;
};
