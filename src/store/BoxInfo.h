#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "platform/ProfileFile.h"
#include "store/StoreContext.h"

namespace orven {

// The box information file "inf.ini" of a box folder (and of "outou"): the box name the
// user gave the box and how the folder came to be (MAKE).
class BoxInfo {
  public:
    using path = std::filesystem::path;
    static constexpr int kMadeByDownload = 0;  // a main unit box whose folder download completed
    static constexpr int kMadeByUser = 1;      // no box of the main unit behind it
    static constexpr int kMakePending = 2;     // its folder download is still running
    static constexpr int kAccessFailed = -1;   // GetMakeState: the folder access check failed
    static constexpr std::size_t kBoxNameChars = 20;
    static constexpr std::string_view kSection = "INF";
    static constexpr std::string_view kNameKey = "NAME";
    static constexpr std::string_view kMakeKey = "MAKE";

    explicit BoxInfo(const StoreContext& context) : m_context(context) {}

    // 1 with the name (at most 20 characters, empty when absent); 0 when the access check fails.
    int GetBoxName(const path& folder, std::string& name) const;
    // Written in double quotes so leading and trailing blanks survive. 1, or 0 as above.
    int SetBoxName(const path& folder, const std::string& name) const;
    int SetMakeState(const path& folder, const std::string& value) const;
    // The MAKE value, 0 when absent; -1 when the access check fails.
    int GetMakeState(const path& folder) const;
    int IsMakePending(const path& folder) const;

    // The box name without the access check, for callers that already ran it.
    static std::string ReadBoxName(const path& folder, const FileSystem* files = nullptr);
    // The folder's box information file, read and written through `files` (the machine's own
    // when null).
    static ProfileFile file(const path& folder, const FileSystem* files = nullptr);

    // 1 when ORVEN.ini asks to delete the messages of this box on the main unit after
    // download; remoteBoxPath is "/rusuroku/<box>" or "/naisen/<box>".
    static int IsAutoDeleteBox(const ProfileFile& settings, const std::string& remoteBoxPath);

  private:
    const StoreContext& m_context;
};

}  // namespace orven
