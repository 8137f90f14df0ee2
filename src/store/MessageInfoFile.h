#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "store/DestinationMap.h"
#include "store/FILESTS_INFO.h"
#include "store/HeaderBlock.h"
#include "store/StoreContext.h"

namespace orven {

// One message information file: the 1010-byte record followed by the 256-byte header block.
// Every rewrite of an existing file goes through a new file renamed over the old one, so a
// crash leaves the old or the new file, never half of one. Operations that take a message
// path accept its ".vminf", ".vmdat", ".aac" or ".AAC" path.
class MessageInfoFile {
  public:
    using path = std::filesystem::path;
    static constexpr std::size_t kFileSize = FILESTS_INFO::kSize + HeaderBlock::kSize;  // 1266
    static constexpr std::string_view kAlready = "Already";
    // Results of PrependInfo.
    static constexpr int kPrepended = 0;
    static constexpr int kPrependFailed = -1;

    explicit MessageInfoFile(const StoreContext& context) : m_context(context) {}

    // 1 read, 0 failed.
    int ReadInfo(const path& file, FILESTS_INFO& record) const;
    // Puts the record before what the file holds so far (a header block): 0 done, -1 failed.
    int PrependInfo(const path& file, const FILESTS_INFO& record) const;
    // Replaces the record, keeping the header block; the record's box name is refreshed
    // from the folder's box information file first. 1 done, 0 failed.
    int WriteInfo(const path& file, FILESTS_INFO& record) const;
    // Writes the record's caller name and the current date into the header block. 1 / 0.
    int RestampHeader(const path& file, const FILESTS_INFO& record) const;

    // 1 when the file is a valid message of its kind (name length, size, signature, and for
    // response messages the number agreeing everywhere), else 0.
    int IsValidMessageFile(const path& file) const;
    static int IsValidMessageData(const path& file, const FILESTS_INFO& record,
                                  const HeaderBlock& block);
    static int FileExists(const path& file);

    // Turns a header block from the main unit into a stored message information file in
    // destFolder (or in the folder the map gives for its name). Returns the information
    // file's path, kAlready when the message is stored completely, or empty on failure,
    // including a name that is not a plain message file name of the right length. A stored
    // record is renewed from the block but keeps what only the PC sets (mark, played, title,
    // memo) and its old header block.
    std::string StoreHeaderBlock(const HeaderBlock& block, const path& destFolder,
                                 bool voiceFollows, const DestinationMap* map) const;

    // What StoreHeaderBlock would write, worked out without writing anything.
    struct PlannedInfo {
        path file;             // the information file, in the case it is stored in
        path voice;            // the voice file a download writes
        bool already = false;  // information and voice are both stored; nothing to write
        std::string bytes;     // the information file's new contents
    };
    std::optional<PlannedInfo> planHeaderBlock(const HeaderBlock& block, const path& destFolder,
                                               bool voiceFollows, const DestinationMap* map) const;

    // The record a header block gives (no file is touched).
    static FILESTS_INFO RecordFromHeader(const HeaderBlock& block, bool voiceFollows);

  private:
    const StoreContext& m_context;
};

}  // namespace orven
