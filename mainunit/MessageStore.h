#pragma once

#include <cstdint>
#include <filesystem>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace orven::mainunit {

class ServedTree;
class UploadImage;

// The messages under the served folder and the marks on them. A message is addressed by its
// stem path, "/rusuroku/0101/202401050930_FRI_0101_00001", and lives as that stem with
// ".vminf" (the header block) and ".vmdat" (header block, length, voice data). Protection is
// the flag in the header block; "in use" is a mark kept in memory only. Shared by the server
// thread and the test API, hence the lock.
class MessageStore {
  public:
    enum class Removal { Deleted, Missing, Protected, InUse };
    enum class UploadVerdict { Accepted, InUse, Full, Older, Failed };

    // Bytes of a file that form one bundle entry.
    struct FileRange {
        std::filesystem::path file;
        std::uint64_t length = 0;
    };

    MessageStore(const ServedTree& tree, int maxResponseMessages);

    static bool isMessageFile(std::string_view name);
    // The stem path of a message named by either of its files (or by its stem).
    static std::string stemPathOf(std::string_view virtualPath);

    void setInUse(std::string_view virtualPath, bool inUse);
    bool isInUse(std::string_view stemPath) const;
    // Sets or clears the protected flag in both files; false when the message does not exist.
    bool setProtected(std::string_view virtualPath, bool isProtected);

    Removal remove(std::string_view stemPath);
    // The stem paths of the messages in a folder (either file or both there), sorted; the
    // server's hidden temporary files are not messages.
    std::vector<std::string> messagesIn(std::string_view folder) const;

    // The entry a bundle holds for the message: the ".vmdat" up to the end of its voice data,
    // or the header block of the ".vminf"; nothing when that file is missing or too short.
    std::optional<FileRange> bundleEntry(std::string_view stemPath, bool voice) const;

    // Whether an upload of that name would be taken, judged before its data arrives.
    UploadVerdict judgeUpload(std::string_view name) const;
    // Stores an upload into "/outou" as both files and removes the older message of its number.
    UploadVerdict storeUpload(std::string_view name, const UploadImage& image);

  private:
    std::optional<std::filesystem::path> file(std::string_view stemPath,
                                              std::string_view extension) const;
    bool exists(std::string_view stemPath) const;
    bool isProtectedUnlocked(std::string_view stemPath) const;
    bool isInUseUnlocked(std::string_view stemPath) const;
    void removeFiles(std::string_view stemPath);
    std::vector<std::string> responseStems(int number) const;
    UploadVerdict judgeUnlocked(std::string_view name) const;

    const ServedTree& m_tree;
    int m_maxResponseMessages;
    mutable std::mutex m_mutex;
    std::set<std::string, std::less<>> m_inUse;
};

}  // namespace orven::mainunit
