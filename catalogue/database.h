// SPDX-License-Identifier: MIT
// The database file Qimdat.dat: 77 lines of comma-separated values with quoted map names and
// CR LF line ends, holding the slot table, the stored selection and the 27 colour components.
//
// Formatting and parsing are pure functions over text; load_database, write_database and
// savemaps reach the file and the user through two of the platform's services only, its files
// and its message boxes (DatabaseServices). The file on disk is
// only ever replaced whole and atomically, and a damaged one is kept aside, never overwritten.
#pragma once

#include <concepts>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/state.h"
#include "platform/file_service.h"
#include "platform/message_box_service.h"

namespace dorvane {

// What the database code reaches: the folder's files and the user. Made from anything that
// offers both (the platform's Services), or from two separate ones.
struct DatabaseServices {
    DatabaseServices(FileService& files_, MessageBoxService& boxes_)
        : files(files_), boxes(boxes_) {}
    template <class Both>
    requires std::derived_from<Both, FileService> && std::derived_from<Both, MessageBoxService>
    DatabaseServices(Both& both) : files(both), boxes(both) {}  // NOLINT: converts on purpose

    FileService& files;
    MessageBoxService& boxes;
};

inline constexpr const char* kDatabaseFile = "Qimdat.dat";

// What the reader accepts. A map name is a file name, so 1024 bytes leave room for any system's
// longest; the largest file the program can write stays far below the file limit.
inline constexpr std::size_t kMaxNameBytes = 1024;
inline constexpr std::size_t kMaxFileBytes = 1 << 20;

enum class Numbering {
    ByMapnum,  // the ordinary write: each slot line carries its entry's mapnum
    ByIndex,   // the renumbering write: each slot line carries its slot index
};

// The exact bytes of the file for the state, in the given numbering.
std::string format_database(const State& state, Numbering numbering);

// Whether a map name can be written and read back unchanged: it holds no '"', CR, LF or NUL
// byte and is at most kMaxNameBytes long.
bool storable_name(std::string_view name);

// The file's part of the state on a first run: slot numbers 0 to 67, no names, no selection,
// the default colours.
State first_run_record();

// What the reader made of a file's text.
struct DatabaseRead {
    enum class Kind {
        Empty,     // no bytes at all: a first run
        Complete,  // every value read
        Upgrade,   // every value up to the selection read, then the end: an earlier version's file
        Damaged,   // anything else
    };
    Kind kind = Kind::Empty;
    // The slot table, the selection and the 27 colours. Every value that could not be read
    // holds its first-run value; every map name is storable.
    State record = first_run_record();
    // What could not be read, in words for the user; empty unless the file is damaged.
    std::vector<std::string> problems;
};

// Reads the file's text: fields in order whatever the line breaks, a blank line being one empty
// field; CR LF and LF line ends alike.
DatabaseRead parse_database(std::string_view text);

// Reads the file at start-up into the state (slot table, selection, colours): creates it on a
// first run, upgrades a file from an earlier version, and keeps a damaged one aside; tells the
// user once when it did any of these. Afterwards every field of the file holds a value.
void load_database(State& state, DatabaseServices services);

// Rewrites the whole file from memory. A failure is reported to the user in a message box that
// names the file and the reason; the old file stays intact. Returns whether the file was written.
//
// When another program (another Dorvane window on the same folder) wrote the file after this one
// last read or wrote it, its changes are taken into the state and the file first, so that no
// saved change is undone: a slot or the colours that only one side changed keep that change, and
// where both changed the same, the user chooses in a Yes/No message box. The stored selection is
// this program's. Afterwards the slot table may differ from the slot buttons' captions.
bool write_database(State& state, Numbering numbering, DatabaseServices services);

// Stores t_mapname and t_mapnum (narrowed to 16 bits) into slot `map`, then the ordinary write.
bool savemaps(State& state, DatabaseServices services);

}  // namespace dorvane
