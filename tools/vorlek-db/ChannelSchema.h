// The three tables of the channel database, as the program expects them.
#pragma once

#include "Database.h"

namespace vorlek::db {

// T_PolType (keys 0 and 1), T_SatList (ID 1..32), T_TPList (SatID 1..32 x ID 1..8); every
// field but the keys NULL.
std::vector<jet::NewTable> EmptyChannelTables();

} // namespace vorlek::db
