#pragma once

#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "store/DestinationMap.h"
#include "store/MessageInfoFile.h"
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
    // Room kept free on the volume beyond what an entry needs.
    static constexpr std::uint64_t kSpareBytes = 4096;
    // A voice file is written under its name plus this and renamed once complete, so a
    // truncated file never passes for a message.
    static constexpr std::string_view kPartSuffix = ".part";

    explicit BundleReader(const StoreContext& context);

    // Stores the bundle's messages in destFolder, or in the folders the map gives for their
    // names. With a list, the file name of every stored information file ("Already" for a
    // message stored before) is appended to it and the list's size is returned; without
    // one, 1. 0 when the bundle cannot be opened, -1 when the access check fails or writing
    // a voice file fails part way, -4 when the volume holding the bundle runs short of space.
    // An entry whose voice file cannot be created is dropped and the next one read.
    //
    // The loop ends early, returning as on a normal end, at a cancel or stop request (before
    // the next entry, or during a voice copy, which then drops that entry), at a bundle that
    // ends early, and at an entry whose name is not a message name for the destination or is
    // missing from the map: the bytes after such a header cannot be trusted to be read as
    // the next entry. An entry that is dropped loses its information file as well, so the
    // next download asks for it again; entries stored before it are kept.
    int UnpackBundle(const path& destFolder, const path& bundle, std::vector<std::string>* names,
                     bool voiceFollows, bool replace, const DestinationMap* map);

  private:
    struct Job;
    enum class Outcome { Stored, Dropped, End, Failed, DiskFull };

    int unpackEntries(Job& job, std::uint32_t count);
    Outcome unpackEntry(Job& job);
    Outcome unpackVoice(Job& job, const std::string& stored);
    Outcome copyVoice(Job& job, const path& voice, std::uint64_t length);
    Outcome copyPieces(std::istream& in, std::ostream& out, std::uint64_t length);
    bool hasRoom(const Job& job, std::uint64_t length) const;

    const StoreContext& m_context;
    MessageInfoFile m_infoFile;
};

}  // namespace orven
