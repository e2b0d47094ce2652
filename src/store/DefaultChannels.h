#pragma once

#include "jet/Database.h"

#include <array>
#include <vector>

// The channel list a new database starts with: 32 satellites received in
// Turkey, Europe and the Middle East, one orbital position each, with eight
// well-known transponders apiece.
namespace vorlek::store {

struct DefaultTransponder {
    const char* name; // UTF-8, at most 12 characters
    int frequency;    // MHz
    int polarisation; // 0 horizontal, 1 vertical
    int symbolRate;   // kS/s
};

struct DefaultSatellite {
    const char* name; // UTF-8, at most 16 characters
    std::array<DefaultTransponder, 8> transponders;
};

extern const std::array<DefaultSatellite, 32> kDefaultChannels;

// The three channel tables. With `values`, the default list; without, every
// row present with its keys and the other fields null.
std::vector<jet::NewTable> ChannelTables(bool values);

} // namespace vorlek::store
