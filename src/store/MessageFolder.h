#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "store/FILESTS_INFO.h"
#include "store/StoreContext.h"

namespace orven {

// The operations on a whole folder of messages: scanning a box folder into list records,
// counting messages, and replacing stored copies of a system response message.
class MessageFolder {
  public:
    using path = std::filesystem::path;
    static constexpr std::size_t kMaxRecords = 50000;
    // The record's file path field holds at most this many UTF-16 units.
    static constexpr std::size_t kMaxPathChars = 258;

    // Results of ScanFolder.
    static constexpr int kScanned = 0;
    static constexpr int kScanFailed = -1;
    // Results of CheckExistingResponse.
    static constexpr int kNoneStored = 1;
    static constexpr int kUpToDate = 0;
    static constexpr int kOlderStored = 2;
    static constexpr int kCheckFailed = -1;
    // Results of StoreHoldsMessages.
    static constexpr int kHoldsMessages = 1;
    static constexpr int kBoxesEmpty = 2;
    static constexpr int kNoBoxes = 0;
    static constexpr int kNotListed = -1;

    // A box folder listed once, for a caller that counts its messages before reading them:
    // CountMessages fills it and ScanFolder reads from it, so the folder is listed once.
    struct Listing {
        path folder;
        std::vector<std::string> names;  // the entries that are not folders, as listed
        bool complete = false;           // listed and counted without a failure
    };

    explicit MessageFolder(const StoreContext& context) : m_context(context) {}

    // Fills records with one record per valid message information file of the box folder, in
    // the order the file system lists them: 0. On failure (access check, a file that cannot
    // be read) -1, and records is left as it was. A missing folder has no messages. Files
    // whose path does not fit the record's file path field are left out.
    int ScanFolder(std::vector<FILESTS_INFO>& records, const path& boxFolder) const;
    // The same from the names CountMessages listed; an incomplete listing lists anew.
    int ScanFolder(std::vector<FILESTS_INFO>& records, const Listing& listing) const;

    // Messages in the folder; a ".vminf" beside a ".vmdat" of the same stem counts once.
    // 0 also on failure.
    int CountMessages(const path& folder) const;
    // The same, keeping the names listed for ScanFolder.
    int CountMessages(const path& folder, Listing& listing) const;
    // The folder total of a store: the messages of every box folder under its "rusuroku" and
    // "naisen" folders.
    int CountFolderTotal(const path& store) const;

    // The record of the first "*.vminf" in name order, else of the first "*.vmdat": 1 read,
    // 0 none or failed.
    int ReadFirstInfo(const path& folder, FILESTS_INFO& record) const;

    // Looks for a stored voice file of the response message newName names (same "_BBBB_NNNN").
    // 1 none stored; 0 a copy of the same age or newer is stored; 2 an older copy (or one
    // whose age cannot be told) is stored; -1 failed. found is the stored copy's path when
    // its name has the usual length, else empty.
    int CheckExistingResponse(const path& folder, const std::string& newName, path& found) const;

    // Deletes every other stored copy (voice and information file) of the response message
    // whose new voice file is newVoiceName (a name or a path): 1 done, 0 something was left.
    int RemoveOlderCopies(const path& folder, const std::string& newVoiceName) const;

    // 1 a box folder of the store holds messages; 2 there are box folders but all are empty;
    // 0 no box folders; -1 the access check failed or a box folder could not be listed.
    int StoreHoldsMessages(const path& store) const;

    // Lowers the number of records a scan takes, for lists that show fewer.
    void setRecordLimit(std::size_t limit) { m_recordLimit = limit; }

  private:
    enum class Outcome { Listed, Skipped, Failed };

    struct ScanState;

    int scan(std::vector<FILESTS_INFO>& records, const path& boxFolder) const;
    int scanListed(std::vector<FILESTS_INFO>& records, const path& boxFolder,
                   const std::vector<std::string>& names) const;
    bool checkMessageFiles(const std::vector<std::string>& names, ScanState& state) const;
    bool collectRecords(const std::vector<std::string>& names, ScanState& state,
                        std::vector<FILESTS_INFO>& found) const;
    Outcome readRecord(std::string_view name, ScanState& state, FILESTS_INFO& record) const;
    static const std::string& shownPath(std::string_view name, ScanState& state);
    bool countIn(const path& folder, std::vector<std::string>& names, int& count) const;
    bool countListed(const path& folder, const std::vector<std::string>& names, int& count) const;
    bool countsAsMessage(const path& folder, std::string_view name) const;

    const StoreContext& m_context;
    std::size_t m_recordLimit = kMaxRecords;
};

}  // namespace orven
