#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "store/StoreContext.h"

namespace orven {

// The request list a download job stores on the main unit to name the messages it wants: a
// big-endian count, 12 zero bytes, then one NUL-padded 64-byte CP932 field per name.
class RequestList {
  public:
    using path = std::filesystem::path;
    static constexpr std::size_t kHeadSize = 16;
    static constexpr std::size_t kFieldSize = 64;

    // Writes the list into the folder under a name made from the context's clock (".datco"
    // when voice is wanted, else ".infco") and returns its full path. Empty when the access
    // check fails, the file cannot be written or a name does not fit its field (63 CP932
    // bytes at most): the main unit must never be sent a cut name. No file is left behind
    // on failure.
    static path WriteRequestList(const StoreContext& context, const std::vector<std::string>& names,
                                 const path& folder, bool voice);

    // Deletes the request lists of the folder holding the given file, or of the folder itself
    // when the path ends in a separator. 1 done, 0 when the path has no folder part.
    static int DeleteRequestLists(const path& anyPathInsideFolder);

  private:
    // The list's bytes; empty when a name does not fit (a list is never shorter than its head).
    static std::string encode(const std::vector<std::string>& names);
};

}  // namespace orven
