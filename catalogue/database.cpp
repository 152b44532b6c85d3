// Loading and writing the database file through the platform's services.
#include <algorithm>
#include <cstdlib>

#include "catalogue/database.h"

namespace dorvane {

namespace {

constexpr const char* kTitle = "Dorvane";
constexpr const char* kCreatedMessage =
    "The file Qimdat.dat has been created/updated in the directory in which Dorvane resides, "
    "due to the fact that it either did not previously exist or due to the fact that Dorvane "
    "has been upgraded.";
// A message lists this many problems of a damaged file; the kept copy shows the rest.
constexpr std::size_t kProblemsShown = 3;

void tell(Services& services, const std::string& text) {
    services.message_box(text, kTitle, Buttons::Ok);
}

// Copies the file's part of a record (slot table, selection, colours) into the state.
void take_file_fields(State& state, const State& record) {
    state.maps = record.maps;
    state.selected_map = record.selected_map;
    for (ColourField field : kColourFields)
        state.*field = record.*field;
}

std::string summary(const std::vector<std::string>& problems) {
    std::string text;
    for (std::size_t i = 0; i < problems.size() && i < kProblemsShown; ++i)
        text += (i ? "; " : "") + problems[i];
    if (problems.size() > kProblemsShown)
        text += "; and " + std::to_string(problems.size() - kProblemsShown) + " more";
    return text;
}

// Keeps the damaged file under the first free name Qimdat.dat.damaged-N, above every N in use,
// so that no earlier kept copy is ever overwritten. Returns the name, or the reason it failed.
bool keep_damaged(Services& services, std::string& kept, std::string& error) {
    const std::string prefix = std::string(kDatabaseFile) + ".damaged-";
    long highest = 0;
    for (const std::string& name : services.list_files(prefix + "*", Hidden::Listed)) {
        char* end = nullptr;
        long n = std::strtol(name.c_str() + prefix.size(), &end, 10);
        if (*end == '\0')
            highest = std::max(highest, n);
    }
    // Another copy may appear between the listing and the copy; then take the next number.
    for (long n = highest + 1; n <= highest + 10; ++n) {
        kept = prefix + std::to_string(n);
        FileWrite copy = services.keep_copy(kDatabaseFile, kept);
        if (copy.ok)
            return true;
        error = copy.error;
    }
    return false;
}

void load_damaged(State& state, Services& services, const DatabaseRead& read) {
    take_file_fields(state, read.record);
    std::string kept, error;
    std::string what = "The file Qimdat.dat is damaged (" + summary(read.problems) + "). ";
    const std::string taken =
        "Dorvane took every value it could read and gave the others the values of a new "
        "catalogue.";
    if (!keep_damaged(services, kept, error)) {
        // Without a kept copy the user's only copy stays as it is until the next save.
        tell(services, what + "Dorvane could not keep a copy of it (" + error +
                           "), so it left the file as it is; copy it elsewhere before the "
                           "catalogue is next saved. " +
                           taken);
        return;
    }
    tell(services, what + "It was kept unchanged as " + kept + ". " + taken);
    write_database(state, Numbering::ByMapnum, services);
}

void load_first_run(State& state, Services& services, const DatabaseRead& read) {
    tell(services, kCreatedMessage);
    take_file_fields(state, read.record);
    set_default_colours(state);
    if (!write_database(state, Numbering::ByIndex, services))
        return;  // the program goes on from memory
    for (int i = 0; i < kSlots; ++i)
        state.maps[i].mapnum = static_cast<std::int16_t>(i);
    // The state is what the file now holds; reading it back says so.
    FileRead again = services.read_file(kDatabaseFile, kMaxFileBytes);
    if (again.status == FileRead::Status::Ok && !again.truncated) {
        DatabaseRead reread = parse_database(again.bytes);
        if (reread.kind == DatabaseRead::Kind::Complete)
            take_file_fields(state, reread.record);
    }
}

}  // namespace

void load_database(State& state, Services& services) {
    FileRead file = services.read_file(kDatabaseFile, kMaxFileBytes);
    DatabaseRead read;
    if (file.status == FileRead::Status::Failed) {
        read.kind = DatabaseRead::Kind::Damaged;
        read.problems.push_back("it could not be read: " + file.error);
    } else if (file.status == FileRead::Status::Ok) {
        read = parse_database(file.bytes);
        if (file.truncated) {
            read.kind = DatabaseRead::Kind::Damaged;
            read.problems.insert(
                read.problems.begin(),
                "it is larger than " + std::to_string(kMaxFileBytes >> 20) + " MiB");
        }
    }
    switch (read.kind) {
        case DatabaseRead::Kind::Complete:
            take_file_fields(state, read.record);
            return;
        case DatabaseRead::Kind::Empty:
        case DatabaseRead::Kind::Upgrade:
            load_first_run(state, services, read);
            return;
        case DatabaseRead::Kind::Damaged:
            load_damaged(state, services, read);
            return;
    }
}

bool write_database(const State& state, Numbering numbering, Services& services) {
    // A name that cannot be stored would read back as something else: leave the file as it is.
    for (int i = 0; i < kSlots; ++i) {
        if (!storable_name(state.maps[i].mapname)) {
            tell(services,
                 "Dorvane could not save the catalogue in Qimdat.dat: the map name in "
                 "slot " +
                     std::to_string(i + 1) +
                     " holds a double quote, a line break or a NUL byte, or is too "
                     "long, and cannot be stored. The file was left as it was; clear "
                     "that slot to save the catalogue again.");
            return false;
        }
    }
    FileWrite result = services.replace_file(kDatabaseFile, format_database(state, numbering));
    if (!result.ok) {
        tell(services, "Dorvane could not save the catalogue in Qimdat.dat: " + result.error +
                           ". The file was left as it was; Dorvane goes on with the catalogue "
                           "in memory.");
        return false;
    }
    return true;
}

bool savemaps(State& state, Services& services) {
    int slot = slot_or_zero(state.map);
    // Slot selection only ever sets a valid index; anything else would store into no slot.
    if (slot < 0 || slot >= kSlots)
        return false;
    map_slot& entry = state.maps[slot];
    entry.mapname = state.t_mapname;
    // The picker passes the slot index; a number beyond 16 bits is not wrapped into another
    // slot's number but replaced by this slot's own.
    entry.mapnum = state.t_mapnum >= INT16_MIN && state.t_mapnum <= INT16_MAX
                       ? static_cast<std::int16_t>(state.t_mapnum)
                       : static_cast<std::int16_t>(slot);
    return write_database(state, Numbering::ByMapnum, services);
}

}  // namespace dorvane
