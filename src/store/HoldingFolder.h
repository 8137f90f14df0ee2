#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/ProfileFile.h"
#include "store/StoreContext.h"

namespace orven {

// The holding folder of temporarily deleted download folders and its record "info.ini":
// section "COUNT" (key "COUNT", the number of recorded folders) and one section "FOLDER<n>"
// per folder with "OrgPath" (where it was) and "DstPath" (where it is kept). A folder is kept
// as "<its name>_<five hex digits>"; the record stays numbered 1 to COUNT without gaps. The
// record is CP932, so a PC's holding folder moves between systems unchanged.
//
// Moves are renames; across volumes the folder is copied and the original removed only once
// the copy is complete, so a failed move loses nothing. The folder access check is the
// caller's to run.
class HoldingFolder {
  public:
    using path = std::filesystem::path;
    // A random 16-bit value for the holding name's suffix.
    using Random = std::function<unsigned()>;

    // Sections beyond this are never read or written.
    static constexpr int kMaxSections = 1000;
    // Suffixes tried for a holding name before the move is given up.
    static constexpr int kNameTries = 32;

    enum class Result {
        Done,
        // The folder is still in its place: it was missing, its path cannot be written in
        // the record, no free holding name was found, the record is full, or the move failed.
        // A move across volumes whose copy is complete but whose original could only be
        // removed in part also answers this; the complete copy is then kept and recorded.
        NotMoved,
        RecordFailed,  // moved, but the record could not be written (the folder is kept)
    };

    // One recorded folder.
    struct Entry {
        int section = 0;  // n of "FOLDER<n>"
        std::string orgPath;
        std::string dstPath;
    };

    // holding: the folder that keeps them ("tmp" of the program's data folder). random
    // defaults to one seeded from the clock. The context's file system does the record's I/O.
    HoldingFolder(const StoreContext& context, path holding, Random random = {});

    // Moves the folder into the holding folder and records it. A holding name that is taken
    // already is not used: another suffix is tried. When the record cannot be written the
    // folder is moved back (NotMoved), or RecordFailed if even that fails.
    Result hold(const path& folder);
    // The recorded folders, sections 1 to COUNT; those with an empty OrgPath are left out.
    std::vector<Entry> entries() const;
    // Moves a recorded folder back and takes it out of the record (renumbering the rest).
    // NotMoved when its old place is taken again, the folder above it is gone, the kept
    // folder is gone, or the entry is not (any longer) in the record; nothing is merged or
    // overwritten. The entry is found by its paths, so entries read before an earlier
    // restore renumbered the record still work.
    Result restore(const Entry& entry);

    path recordPath() const { return m_holding / "info.ini"; }

  private:
    ProfileFile record() const;
    bool ensureHolding() const;
    std::optional<path> freeHoldingPath(const std::string& name) const;
    Result keep(const path& folder, const path& kept);
    bool addSection(const path& folder, const path& kept) const;
    // Every section 1..kMaxSections that has both values, in order.
    std::vector<Entry> recordedSections() const;
    // Replaces the record by COUNT and the sections numbered 1, 2, ... in the given order.
    bool rewrite(int count, const std::vector<Entry>& sections) const;

    const StoreContext& m_context;
    path m_holding;
    Random m_random;
};

}  // namespace orven
