#include "register/core/records/document_statements.h"

#include <stdexcept>

#include "register/core/storage/store.h"

namespace quorva {

namespace {

const char* const kSelectAll = "SELECT * FROM Quorva";
// Two blanks before "where", as the register has always sent it.
const char* const kSelectWhere = "SELECT * FROM Quorva  where ";
const char* const kAnd = " and ";
const char* const kPlaceholder = "?";

std::string SearchFragment(const StoreDialect& dialect, const SearchTerm& term)
{
    if (term.mode == SearchMode::Exact) return std::string(ColumnName(term.column)) + "=" + kPlaceholder;
    return dialect.FuzzyMatch(term.column);
}

SqlValue SearchValue(const SearchTerm& term)
{
    // % and _ typed by the clerk stay wildcards, as in any like pattern.
    return term.mode == SearchMode::Exact ? term.value : "%" + term.value + "%";
}

std::vector<SqlValue> WrittenValues(const RecordFields& fields)
{
    std::vector<SqlValue> values;
    values.reserve(kWrittenColumns.size() + 1);
    for (Column column : kWrittenColumns) values.emplace_back(fields[static_cast<int>(column)]);
    return values;
}

}  // namespace

SqlStatement InsertRecordStatement(const RecordFields& fields)
{
    std::string names;
    std::string placeholders;
    for (Column column : kWrittenColumns) {
        if (!names.empty()) {
            names += ",";
            placeholders += ",";
        }
        names += ColumnName(column);
        placeholders += kPlaceholder;
    }
    return {"INSERT INTO Quorva(" + names + ") VALUES (" + placeholders + ");", WrittenValues(fields)};
}

SqlStatement UpdateRecordStatement(const RecordFields& fields, std::int64_t id)
{
    std::string assignments;
    for (Column column : kWrittenColumns) {
        if (!assignments.empty()) assignments += ",";
        assignments += std::string(ColumnName(column)) + "=" + kPlaceholder;
    }
    SqlStatement statement{"update Quorva set " + assignments + " where id=" + kPlaceholder + ";", WrittenValues(fields)};
    statement.values.emplace_back(id);
    return statement;
}

SqlStatement DeleteRecordStatement(std::int64_t id)
{
    return {std::string("delete from Quorva where id=") + kPlaceholder + "; ", {id}};
}

SqlStatement DuplicateStatement(Column column, const std::string& value)
{
    return {kSelectWhere + std::string(ColumnName(column)) + "=" + kPlaceholder, {value}};
}

SqlStatement ListStatement(const StoreDialect& dialect, FlagFilter approval, FlagFilter finished)
{
    std::vector<std::string> conditions;
    if (approval != FlagFilter::Any) conditions.push_back(dialect.FlagCondition(Column::ycp, approval));
    if (finished != FlagFilter::Any) conditions.push_back(dialect.FlagCondition(Column::ybj, finished));
    std::string text = kSelectAll;
    for (std::size_t i = 0; i < conditions.size(); ++i) text += (i == 0 ? " where " : kAnd) + conditions[i];
    return {text + dialect.RecordOrder(), {}};
}

SqlStatement SearchStatement(const StoreDialect& dialect, const std::vector<SearchTerm>& terms)
{
    if (terms.empty()) throw std::invalid_argument("a search needs at least one condition");
    SqlStatement statement{kSelectWhere, {}};
    for (std::size_t i = 0; i < terms.size(); ++i) {
        if (i > 0) statement.text += kAnd;
        statement.text += SearchFragment(dialect, terms[i]);
        statement.values.push_back(SearchValue(terms[i]));
    }
    statement.text += dialect.RecordOrder();
    return statement;
}

}  // namespace quorva
