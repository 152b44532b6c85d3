// The database file Qimdat.dat: 77 lines of comma-separated values with quoted map names and
// CR LF line ends, holding the slot table, the stored selection and the 27 colour components.
//
// Formatting and parsing are pure functions over text; load_database, write_database and
// savemaps reach the file and the user through the platform's services.
#pragma once

#include <string>
#include <string_view>

#include "catalogue/state.h"
#include "platform/services.h"

namespace dorvane {

inline constexpr const char* kDatabaseFile = "Qimdat.dat";

enum class Numbering {
    ByMapnum,  // the ordinary write: each slot line carries its entry's mapnum
    ByIndex,   // the renumbering write: each slot line carries its slot index
};

// The exact bytes of the file for the state, in the given numbering.
std::string format_database(const State& state, Numbering numbering);

// Whether a map name can be written and read back unchanged (it holds no '"', CR or LF).
bool storable_name(std::string_view name);

// Reads the file at start-up into the state and the slot table: creates it on a first run,
// upgrades a file from an earlier version, and keeps a damaged one aside; tells the user once
// when it did any of these. Afterwards every field of the file holds a value.
void load_database(State& state, Services& services);

// Rewrites the whole file from memory. A failure is reported to the user in a message box that
// names the file and the reason; the old file stays intact. Returns whether the file was written.
bool write_database(const State& state, Numbering numbering, Services& services);

// Stores t_mapname and t_mapnum (narrowed to 16 bits) into slot `map`, then the ordinary write.
bool savemaps(State& state, Services& services);

}  // namespace dorvane
