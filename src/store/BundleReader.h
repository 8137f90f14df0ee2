#pragma once

#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/DestinationMap.h"
#include "store/MessageInfoFile.h"
#include "store/StoreBatch.h"
#include "store/StoreContext.h"

namespace orven {

// Unpacks the bundle the main unit sends in reply to a request list into message files: a
// 16-byte head whose first four bytes are the big-endian entry count, then per entry the
// 256-byte header block and, when voice was requested, a big-endian length L and L bytes of
// AAC data. The bundle is streamed; voice goes through one small buffer.
class BundleReader {
  public:
    using path = std::filesystem::path;
    static constexpr std::size_t kHeadSize = 16;
    static constexpr std::size_t kPieceSize = 2048;
    // Buffer of the bundle stream and of each voice file's stream, so that reading and
    // writing take few system calls although the copy goes piece by piece.
    static constexpr std::size_t kStreamBufferSize = 128 * 1024;
    // Room kept free on the volume beyond what an entry needs.
    static constexpr std::uint64_t kSpareBytes = 4096;
    // Files are written under their name plus this until their batch is committed, so a
    // truncated file never passes for a message.
    static constexpr std::string_view kPartSuffix = StoreBatch::kPartSuffix;

    // Results of UnpackBundle besides the number of names.
    static constexpr int kNotOpened = 0;
    static constexpr int kFailed = -1;
    static constexpr int kDiskFull = -4;

    explicit BundleReader(const StoreContext& context);

    // Stores the bundle's messages in destFolder, or in the folders the map gives for their
    // names. With a list, the file name of every stored information file ("Already" for a
    // message stored before) is appended to it and the list's size is returned; without
    // one, 1. kNotOpened when the bundle cannot be opened; kFailed when the access check
    // fails, writing a voice file fails part way or the files cannot be made durable;
    // kDiskFull when the volume holding the bundle runs short of space (or cannot tell).
    // An entry whose voice file cannot be created is dropped and the next one read.
    //
    // Messages are written under temporary names and get their names a batch at a time (see
    // StoreBatch); only then do they count as stored. Temporary files a crash left in the
    // folders are removed first. A message stored before keeps its record byte for byte until
    // its new files are complete.
    //
    // The loop ends early, returning as on a normal end, at a cancel or stop request (before
    // the next entry, or during a voice copy, which then drops that entry), at a bundle that
    // ends early, and at an entry whose name is not a message name for the destination or is
    // missing from the map: the bytes after such a header cannot be trusted to be read as
    // the next entry. Entries completed before any of these are kept.
    int UnpackBundle(const path& destFolder, const path& bundle, std::vector<std::string>* names,
                     bool voiceFollows, bool replace, const DestinationMap* map);

  private:
    struct Job;
    class VoicePart;
    using PlannedInfo = MessageInfoFile::PlannedInfo;
    enum class Outcome { Stored, Dropped, End, Failed, DiskFull };

    int unpackEntries(Job& job, std::uint32_t count);
    Outcome unpackEntry(Job& job);
    std::optional<PlannedInfo> planEntry(Job& job, const HeaderBlock& block);
    Outcome unpackVoice(Job& job, const PlannedInfo& plan);
    // voice is the voice file written for the entry, empty when there is none.
    Outcome addEntry(Job& job, const PlannedInfo& plan, const path& voice,
                     std::uint64_t voiceBytes);
    Outcome copyVoice(Job& job, const path& voice, std::uint64_t length);
    Outcome copyPieces(std::istream& in, VoicePart& out, std::uint64_t length);
    bool hasRoom(const Job& job, std::uint64_t length) const;

    const StoreContext& m_context;
    MessageInfoFile m_infoFile;
};

}  // namespace orven
