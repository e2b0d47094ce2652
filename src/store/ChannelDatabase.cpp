#include "ChannelDatabase.h"

#include "RecordFrames.h"

namespace vorlek::store {
namespace {

std::string Quoted(const std::string& value) {
    if (value.empty())
        return "\"\"";
    if (value.find(';') != std::string::npos || value.front() == '"')
        return '"' + value + '"';
    return value;
}

} // namespace

std::string ChannelConnectionString(const std::string& exeDir) {
    const std::pair<const char*, std::string> pairs[] = {
        {"Provider", "Microsoft.Jet.OLEDB.4.0"},
        {"User ID", "Admin"},
        {"Data Source", exeDir + kDatabaseFileName},
        {"Mode", "Share Deny None"},
        {"Jet OLEDB:System database", ""},
        {"Jet OLEDB:Registry Path", ""},
        {"Jet OLEDB:Database Password", ""},
        {"Jet OLEDB:Engine Type", "5"},
        {"Jet OLEDB:Database Locking Mode", "1"},
        {"Jet OLEDB:Global Partial Bulk Ops", "2"},
        {"Jet OLEDB:Global Bulk Transactions", "1"},
        {"Jet OLEDB:New Database Password", ""},
        {"Jet OLEDB:Create System Database", "False"},
        {"Jet OLEDB:Encrypt Database", "False"},
        {"Jet OLEDB:Compact Without Replica Repair", "False"},
        {"Jet OLEDB:SFP", "False"},
    };
    std::string cs;
    for (const auto& [key, value] : pairs)
        cs += std::string(key) + '=' + Quoted(value) + ';';
    return cs;
}

ChannelComponents::ChannelComponents(Connection::Opener opener)
    : ADOConn(std::move(opener)), ADOQ_PolType(ADOConn, "SELECT * FROM T_PolType", "ADOQ_PolType"),
      ADOQ_PolTypeID(ADOQ_PolType, "ID", FieldKind::SmallInt),
      ADOQ_PolTypeDescr(ADOQ_PolType, "Descr", FieldKind::WideString, 16), DS_PolType(ADOQ_PolType),
      ADOQ_SatList(ADOConn, "SELECT * FROM T_SatList", "ADOQ_SatList"),
      ADOQ_SatListID(ADOQ_SatList, "ID", FieldKind::SmallInt),
      ADOQ_SatListDescr(ADOQ_SatList, "Descr", FieldKind::WideString, 16), DS_SatList(ADOQ_SatList),
      ADOQ_TPList(ADOConn, "SELECT * FROM T_TPList", "ADOQ_TPList"),
      ADOQ_TPListSatID(ADOQ_TPList, "SatID", FieldKind::SmallInt),
      ADOQ_TPListID(ADOQ_TPList, "ID", FieldKind::SmallInt),
      ADOQ_TPListDescr(ADOQ_TPList, "Descr", FieldKind::WideString, 12),
      ADOQ_TPListFrequency(ADOQ_TPList, "Frequency", FieldKind::Integer),
      ADOQ_TPListPolarisation(ADOQ_TPList, "Polarisation", FieldKind::Integer),
      ADOQ_TPListSymbolRate(ADOQ_TPList, "SymbolRate", FieldKind::Integer), DS_TPList(ADOQ_TPList) {
}

void ChannelComponents::OpenChannelDatabase(const std::string& exeDir) {
    ADOConn.ConnectionString = ChannelConnectionString(exeDir);
    for (Query* q : {&ADOQ_PolType, &ADOQ_SatList, &ADOQ_TPList})
        q->Open();
}

std::string ReadSatName(ChannelComponents& db, int slot) {
    if (!db.ADOQ_SatList.Locate({{&db.ADOQ_SatListID, SatKey(slot)}}))
        return {};
    return db.ADOQ_SatListDescr.AsString();
}

TPRecord ReadTPRecord(ChannelComponents& db, int slot) {
    if (!db.ADOQ_TPList.Locate(
            {{&db.ADOQ_TPListSatID, TPSatKey(slot)}, {&db.ADOQ_TPListID, TPKey(slot)}}))
        return {};
    TPRecord r;
    r.name = db.ADOQ_TPListDescr.AsString();
    r.frequency = db.ADOQ_TPListFrequency.AsInteger();
    r.symbolRate = db.ADOQ_TPListSymbolRate.AsInteger();
    r.polarisation = db.ADOQ_TPListPolarisation.AsInteger();
    return r;
}

} // namespace vorlek::store
