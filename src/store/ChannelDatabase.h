#pragma once

#include "Dataset.h"

#include <string>

// The channel database "VorlekII.mdb" beside the executable and the components
// that reach it. The window inherits them, the way a Qt form inherits the
// widgets of its designer class, so each keeps its own name.
namespace vorlek::store {

inline constexpr const char* kDatabaseFileName = "VorlekII.mdb";

// exeDir is the executable's directory with its trailing separator.
std::string ChannelConnectionString(const std::string& exeDir);

struct ChannelComponents {
    explicit ChannelComponents(Connection::Opener opener = Connection::JetOpener());

    Connection ADOConn;

    Query ADOQ_PolType;
    Field ADOQ_PolTypeID;
    Field ADOQ_PolTypeDescr;
    DataSource DS_PolType;

    Query ADOQ_SatList;
    Field ADOQ_SatListID;
    Field ADOQ_SatListDescr;
    DataSource DS_SatList;

    Query ADOQ_TPList;
    Field ADOQ_TPListSatID;
    Field ADOQ_TPListID;
    Field ADOQ_TPListDescr;
    Field ADOQ_TPListFrequency;
    Field ADOQ_TPListPolarisation;
    Field ADOQ_TPListSymbolRate;
    DataSource DS_TPList;

    // Gives the connection the file beside the executable, then opens the
    // queries in order; the first failure propagates and leaves the rest closed.
    void OpenChannelDatabase(const std::string& exeDir);
};

// The values one upload slot sends. A slot whose key has no row (a damaged
// file) reads as an empty row, never as whatever row the cursor was on.
std::string ReadSatName(ChannelComponents& db, int slot);

struct TPRecord {
    std::string name; // Windows-1254
    std::int32_t frequency = 0;
    std::int32_t polarisation = 0;
    std::int32_t symbolRate = 0;
};
TPRecord ReadTPRecord(ChannelComponents& db, int slot);

} // namespace vorlek::store
