#pragma once

#include "Csv.h"
#include "jet/Database.h"

#include <string>
#include <string_view>
#include <vector>

// Writing an edited export of T_SatList or T_TPList back into the file's
// existing rows: keys must exist, nothing is inserted or deleted, and a
// changed value must be one the editor would accept.
namespace vorlek::store {

struct RowUpdate {
    jet::Row before;
    std::vector<jet::Value> after;
};

struct ImportPlan {
    const jet::TableDef* table = nullptr;
    std::vector<RowUpdate> updates; // only rows whose values change
    std::vector<CsvError> errors;   // every bad line; a plan with errors is not applied
};

ImportPlan PlanImport(const jet::Database& db, std::string_view csv);

// All or nothing: when a write fails, the rows already written are put back.
void ApplyImport(jet::Database& db, const ImportPlan& plan);

} // namespace vorlek::store
