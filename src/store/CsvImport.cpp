#include "CsvImport.h"

#include "RecordFrames.h"
#include "Utf.h"
#include "codepage.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <set>

namespace vorlek::store {
namespace {

struct Rule {
    const char* field;
    bool key = false;
    int maxLength = 0;             // text
    std::int64_t min = 0, max = 0; // numbers with editor limits
    bool polarisation = false;
};

struct TableRules {
    const char* table;
    std::vector<Rule> fields;
};

const TableRules kSatList{"T_SatList",
                          {{"ID", true}, {"Descr", false, static_cast<int>(kSatNameSize)}}};
const TableRules kTPList{"T_TPList",
                         {{"SatID", true},
                          {"ID", true},
                          {"Descr", false, static_cast<int>(kTPNameSize)},
                          {"Frequency", false, 0, kMinFrequency, kMaxFrequency},
                          {"Polarisation", false, 0, 0, 0, true},
                          {"SymbolRate", false, 0, kMinSymbolRate, kMaxSymbolRate}}};

bool SameHeader(const CsvRecord& header, const TableRules& rules) {
    if (header.fields.size() != rules.fields.size())
        return false;
    for (std::size_t i = 0; i < rules.fields.size(); ++i) {
        if (header.fields[i] != rules.fields[i].field)
            return false;
    }
    return true;
}

int ColumnIndex(const jet::TableDef& def, const char* name) {
    for (std::size_t i = 0; i < def.columns.size(); ++i) {
        if (def.columns[i].name == name)
            return static_cast<int>(i);
    }
    throw jet::JetError(def.name + " has no field " + name);
}

std::optional<std::int64_t> ParseInteger(const std::string& s) {
    std::int64_t n = 0;
    const char* begin = s.data();
    if (!s.empty() && s[0] == '+')
        ++begin;
    const auto [end, ec] = std::from_chars(begin, s.data() + s.size(), n);
    if (ec != std::errc() || end != s.data() + s.size() || begin == s.data() + s.size())
        return std::nullopt;
    return n;
}

// Reads one CSV field into the column's value; an unquoted empty field is null.
std::optional<jet::Value> ReadValue(const std::string& text, bool quoted, const jet::Column& column,
                                    std::string& problem) {
    if (text.empty() && !quoted)
        return jet::Value{};
    if (column.type == jet::ColumnType::Text || column.type == jet::ColumnType::Memo) {
        auto u16 = Utf8ToUtf16(text);
        if (!u16)
            problem = column.name + " is not UTF-8 text";
        return u16 ? std::optional<jet::Value>(std::move(*u16)) : std::nullopt;
    }
    const auto n = ParseInteger(text);
    const std::int64_t lo = column.type == jet::ColumnType::Byte      ? 0
                            : column.type == jet::ColumnType::Integer ? -32768
                                                                      : INT32_MIN;
    const std::int64_t hi = column.type == jet::ColumnType::Byte      ? 255
                            : column.type == jet::ColumnType::Integer ? 32767
                                                                      : INT32_MAX;
    if (!n || *n < lo || *n > hi) {
        problem = column.name + " '" + text + "' is not a whole number the field can hold";
        return std::nullopt;
    }
    return jet::Value{*n};
}

std::string CheckChanged(const Rule& rule, const jet::Value& v,
                         const std::set<std::int64_t>& polTypes) {
    const std::string field = rule.field;
    if (rule.maxLength > 0) {
        const auto* text = std::get_if<std::u16string>(&v);
        if (text && text->size() > static_cast<std::size_t>(rule.maxLength))
            return field + " is longer than " + std::to_string(rule.maxLength) + " characters";
        return {};
    }
    const auto* n = std::get_if<std::int64_t>(&v);
    if (rule.polarisation) {
        if (!n || !polTypes.count(*n))
            return field + " must be the ID of a T_PolType row";
        return {};
    }
    if (rule.max > 0 && (!n || *n < rule.min || *n > rule.max))
        return field + " must lie between " + std::to_string(rule.min) + " and " +
               std::to_string(rule.max);
    return {};
}

} // namespace

ImportPlan PlanImport(const jet::Database& db, std::string_view csv) {
    ImportPlan plan;
    const auto records = ParseCsv(csv, plan.errors);
    if (records.empty()) {
        plan.errors.push_back({1, "no header line"});
        return plan;
    }
    const TableRules* rules = SameHeader(records[0], kSatList)  ? &kSatList
                              : SameHeader(records[0], kTPList) ? &kTPList
                                                                : nullptr;
    if (!rules) {
        plan.errors.push_back({records[0].line,
                               "the header is neither T_SatList's (ID,Descr) nor "
                               "T_TPList's (SatID,ID,Descr,Frequency,Polarisation,SymbolRate)"});
        return plan;
    }
    const jet::TableDef& def = db.Table(rules->table);
    plan.table = &def;
    std::vector<int> columns;
    for (const Rule& r : rules->fields)
        columns.push_back(ColumnIndex(def, r.field));

    std::set<std::int64_t> polTypes;
    if (rules == &kTPList) {
        const jet::TableDef& pol = db.Table("T_PolType");
        const int id = ColumnIndex(pol, "ID");
        for (const jet::Row& row : db.ReadRows(pol)) {
            if (const auto* n =
                    std::get_if<std::int64_t>(&row.values[static_cast<std::size_t>(id)]))
                polTypes.insert(*n);
        }
    }

    const std::vector<jet::Row> rows = db.ReadRows(def);
    std::map<std::vector<std::int64_t>, std::size_t>
        byKey; // the first row with a key, as a lookup finds it
    for (std::size_t r = 0; r < rows.size(); ++r) {
        std::vector<std::int64_t> key;
        for (std::size_t f = 0; f < rules->fields.size(); ++f) {
            if (!rules->fields[f].key)
                continue;
            const auto* n =
                std::get_if<std::int64_t>(&rows[r].values[static_cast<std::size_t>(columns[f])]);
            key.push_back(n ? *n : INT64_MIN);
        }
        byKey.emplace(std::move(key), r);
    }

    std::set<std::size_t> seen;
    for (std::size_t i = 1; i < records.size(); ++i) {
        const CsvRecord& rec = records[i];
        const auto fail = [&](std::string message) {
            plan.errors.push_back({rec.line, std::move(message)});
        };
        if (rec.fields.size() != rules->fields.size()) {
            fail("expected " + std::to_string(rules->fields.size()) + " fields, found " +
                 std::to_string(rec.fields.size()));
            continue;
        }
        std::vector<jet::Value> values;
        std::string problem;
        for (std::size_t f = 0; f < rules->fields.size() && problem.empty(); ++f) {
            const auto v = ReadValue(rec.fields[f], rec.quoted[f],
                                     def.columns[static_cast<std::size_t>(columns[f])], problem);
            if (v)
                values.push_back(*v);
        }
        if (!problem.empty()) {
            fail(problem);
            continue;
        }
        std::vector<std::int64_t> key;
        for (std::size_t f = 0; f < rules->fields.size(); ++f) {
            if (rules->fields[f].key) {
                const auto* n = std::get_if<std::int64_t>(&values[f]);
                key.push_back(n ? *n : INT64_MIN);
            }
        }
        const auto found = byKey.find(key);
        if (found == byKey.end()) {
            fail("no row has this key; rows are never added");
            continue;
        }
        if (!seen.insert(found->second).second) {
            fail("this key appears on an earlier line too");
            continue;
        }
        const jet::Row& row = rows[found->second];
        std::vector<jet::Value> after = row.values;
        for (std::size_t f = 0; f < rules->fields.size(); ++f) {
            const auto c = static_cast<std::size_t>(columns[f]);
            if (values[f] == row.values[c])
                continue; // an unchanged value is never judged, as in the editor
            if (std::string why = CheckChanged(rules->fields[f], values[f], polTypes);
                !why.empty()) {
                problem = why;
                break;
            }
            after[c] = values[f];
        }
        if (!problem.empty()) {
            fail(problem);
            continue;
        }
        if (after != row.values)
            plan.updates.push_back({row, std::move(after)});
    }
    return plan;
}

void ApplyImport(jet::Database& db, const ImportPlan& plan) {
    if (!plan.errors.empty() || !plan.table)
        throw jet::JetError("the import has errors; nothing was written");
    std::size_t done = 0;
    try {
        for (; done < plan.updates.size(); ++done)
            db.UpdateRow(*plan.table, plan.updates[done].before, plan.updates[done].after);
    } catch (...) {
        while (done-- > 0) {
            jet::Row written = plan.updates[done].before;
            written.values = plan.updates[done].after;
            try {
                db.UpdateRow(*plan.table, written, plan.updates[done].before.values);
            } catch (...) {
                // Keep putting back the others; the first error is the one to report.
            }
        }
        throw;
    }
}

} // namespace vorlek::store
