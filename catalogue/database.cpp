// SPDX-License-Identifier: MIT
// Loading and writing the database file through the platform's services.
#include <algorithm>
#include <climits>
#include <cstdlib>
#include <set>

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

void tell(DatabaseServices services, const std::string& text) {
    services.boxes.message_box(text, kTitle, Buttons::Ok);
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
bool keep_damaged(DatabaseServices services, std::string& kept, std::string& error) {
    const std::string prefix = std::string(kDatabaseFile) + ".damaged-";
    std::set<long> used;
    // A folder that cannot be listed leaves the numbers in use unknown: the copy then takes the
    // lowest free one, which overwrites nothing either.
    FileListing listing = services.files.list_files(prefix + "*", Hidden::Listed);
    for (const std::string& name : listing.names) {
        char* end = nullptr;
        long n = std::strtol(name.c_str() + prefix.size(), &end, 10);
        if (*end == '\0' && n > 0)
            used.insert(n);
    }
    // Numbers up to the limit of long leave no room above the highest: then the lowest free one
    // serves, which overwrites nothing either.
    const int kAttempts = 10;
    long n = used.empty() ? 1 : *used.rbegin();
    if (!used.empty() && n <= LONG_MAX - kAttempts) {
        ++n;
    } else {
        n = 1;
        while (used.count(n))
            ++n;
    }
    // Another copy may appear between the listing and the copy; then take the next number.
    for (int attempt = 0; attempt < kAttempts; ++attempt, ++n) {
        while (used.count(n))
            ++n;
        kept = prefix + std::to_string(n);
        FileWrite copy = services.files.keep_copy(kDatabaseFile, kept);
        if (copy.ok)
            return true;
        error = copy.error;
    }
    if (!listing.ok)
        error = "its folder could not be listed: " + listing.error + "; " + error;
    return false;
}

void load_damaged(State& state, DatabaseServices services, const DatabaseRead& read) {
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

void load_first_run(State& state, DatabaseServices services, const DatabaseRead& read) {
    tell(services, kCreatedMessage);
    take_file_fields(state, read.record);
    set_default_colours(state);
    if (!write_database(state, Numbering::ByIndex, services))
        return;  // the program goes on from memory
    for (int i = 0; i < kSlots; ++i)
        state.maps[i].mapnum = static_cast<std::int16_t>(i);
    // The state is what the file now holds; reading it back says so.
    FileRead again = services.files.read_file(kDatabaseFile, kMaxFileBytes);
    if (again.status == FileRead::Status::Ok && !again.truncated) {
        DatabaseRead reread = parse_database(again.bytes);
        if (reread.kind == DatabaseRead::Kind::Complete)
            take_file_fields(state, reread.record);
    }
}

bool same_slot(const map_slot& a, const map_slot& b) {
    return a.mapname == b.mapname && a.mapnum == b.mapnum;
}

bool same_colours(const State& a, const State& b) {
    for (ColourField field : kColourFields) {
        if (a.*field != b.*field)
            return false;
    }
    return true;
}

std::string conflict_list(const std::vector<int>& slots, bool colours) {
    std::vector<std::string> parts;
    for (int slot : slots)
        parts.push_back(std::to_string(slot + 1));
    std::string text;
    if (!slots.empty())
        text = slots.size() == 1 ? "slot " : "slots ";
    for (std::size_t i = 0; i < parts.size(); ++i)
        text += (i == 0 ? "" : i + 1 == parts.size() ? " and " : ", ") + parts[i];
    if (colours)
        text += slots.empty() ? "the colours" : " and the colours";
    return text;
}

// Another program (another Dorvane window on the same folder, most likely) wrote the file since
// this one last read or wrote it. Its changes are taken in, so that this window's save does not
// undo them: a three-way merge of the slots and the colours between what this program last saw
// in the file, what it is about to write (`bytes`) and what the file holds now. A value changed
// on one side only takes that change; a value both changed differently is the user's choice.
// The stored selection is this window's: the last window saved stores its own, as ever. The
// state takes in the other program's values and `bytes` becomes the merged file; false when
// nothing may be written.
bool take_their_changes(State& state, std::string& bytes, DatabaseServices services) {
    FileRead now = services.files.read_file(kDatabaseFile, kMaxFileBytes);
    if (now.status == FileRead::Status::Missing) {
        state.on_disk.reset();  // removed meanwhile: there is nothing left to undo
        return true;
    }
    if (now.status == FileRead::Status::Failed) {
        tell(services,
             "Dorvane could not save the catalogue in Qimdat.dat: another program "
             "changed it, and it cannot be read now (" +
                 now.error +
                 "). The file was left as it is; Dorvane goes on with the catalogue "
                 "in memory.");
        return false;
    }
    DatabaseRead theirs = parse_database(now.bytes);
    if (theirs.kind != DatabaseRead::Kind::Complete || now.truncated) {
        // What the other program left is no catalogue Dorvane can merge with: keep it aside.
        std::string kept, error;
        if (!keep_damaged(services, kept, error)) {
            tell(services,
                 "Dorvane could not save the catalogue in Qimdat.dat: another program "
                 "changed it into something that is not a complete catalogue, and "
                 "Dorvane could not keep a copy of it (" +
                     error +
                     "). The file was left as it is; Dorvane goes on with the "
                     "catalogue in memory.");
            return false;
        }
        tell(services,
             "Qimdat.dat was changed by another program into something that is not a "
             "complete catalogue. It was kept unchanged as " +
                 kept + ", and Dorvane saved the catalogue of this window.");
        state.on_disk = now.bytes;
        return true;
    }
    const State base = parse_database(state.on_disk.value_or(std::string())).record;
    const State mine = parse_database(bytes).record;
    State merged = mine;
    std::vector<int> conflicts;
    std::vector<int> taken;  // slots that take the file's value
    for (int i = 0; i < kSlots; ++i) {
        const map_slot &b = base.maps[i], &m = mine.maps[i], &t = theirs.record.maps[i];
        if (same_slot(m, b) && !same_slot(t, b))
            taken.push_back(i);
        else if (!same_slot(m, b) && !same_slot(t, b) && !same_slot(m, t))
            conflicts.push_back(i);
    }
    const bool colours_changed_here = !same_colours(mine, base);
    const bool colours_changed_there = !same_colours(theirs.record, base);
    bool take_colours = !colours_changed_here && colours_changed_there;
    const bool colour_conflict =
        colours_changed_here && colours_changed_there && !same_colours(mine, theirs.record);
    if (!conflicts.empty() || colour_conflict) {
        const std::string what = conflict_list(conflicts, colour_conflict);
        Answer keep_mine = services.boxes.message_box(
            "Qimdat.dat was changed by another program, perhaps Dorvane in another window, "
            "since this window last read or saved it, and both changed " +
                what + ". Save this window's version of " +
                (conflicts.size() + colour_conflict > 1 ? "them" : "it") +
                "? Yes keeps this window's, No takes the file's; every other change of both "
                "is kept.",
            kTitle, Buttons::YesNo);
        if (keep_mine != Answer::Yes) {
            taken.insert(taken.end(), conflicts.begin(), conflicts.end());
            take_colours = take_colours || colour_conflict;
        }
    }
    for (int i : taken) {
        merged.maps[i] = theirs.record.maps[i];
        state.maps[i] = theirs.record.maps[i];
    }
    if (take_colours) {
        for (ColourField field : kColourFields)
            merged.*field = state.*field = theirs.record.*field;
    }
    bytes = format_database(merged, Numbering::ByMapnum);
    state.on_disk = now.bytes;
    return true;
}

}  // namespace

void load_database(State& state, DatabaseServices services) {
    FileRead file = services.files.read_file(kDatabaseFile, kMaxFileBytes);
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
            state.on_disk = file.bytes;
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

bool write_database(State& state, Numbering numbering, DatabaseServices services) {
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
    std::string bytes = format_database(state, numbering);
    // Another program may change the file again while this one takes in its changes.
    for (int round = 0; round < 5; ++round) {
        std::optional<std::string_view> expected;
        if (state.on_disk)
            expected = *state.on_disk;
        FileWrite result = services.files.replace_file(kDatabaseFile, bytes, expected);
        if (result.ok) {
            state.on_disk = std::move(bytes);
            return true;
        }
        if (!result.changed) {
            tell(services,
                 "Dorvane could not save the catalogue in Qimdat.dat: " + result.error +
                     (result.old_kept ? ". The file was left as it was; Dorvane goes on with the "
                                        "catalogue in memory."
                                      : ", and its old content could not be put back either, so "
                                        "it may now be incomplete. Dorvane goes on with the "
                                        "catalogue in memory and writes it whole with the next "
                                        "change."));
            return false;
        }
        if (!take_their_changes(state, bytes, services))
            return false;
    }
    tell(services,
         "Dorvane could not save the catalogue in Qimdat.dat: another program changed it again "
         "every time Dorvane took in its changes. The file was left as the other program wrote "
         "it; Dorvane goes on with the catalogue in memory.");
    return false;
}

bool savemaps(State& state, DatabaseServices services) {
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
