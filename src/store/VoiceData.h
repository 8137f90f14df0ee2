#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "store/StoreContext.h"

namespace orven {

// The voice data of a message: the AAC check that decides what the main unit can take, the
// main unit's voice data file built for an upload, the system response messages made on the
// PC from the user's AAC files, and the audio files exported into box folders.
class VoiceData {
  public:
    using path = std::filesystem::path;

    enum class MakeResult { Made, Unsupported, NoSpace, Failed };

    static constexpr int kMinResponseNumber = 1;
    static constexpr int kMaxResponseNumber = 300;

    explicit VoiceData(const StoreContext& context) : m_context(context) {}

    // GetAacDuration: not an AAC file the main unit accepts, or one that cannot be read.
    static constexpr double kNotAccepted = -1.0;

    // Playing time in seconds of an AAC file the main unit accepts (8 kHz mono AAC-LC in
    // ADTS without CRC, at most 600.06 s and 48 000 bit/s on average); kNotAccepted
    // otherwise.
    static double GetAacDuration(const path& aacFile);
    // The same for AAC data in memory.
    static double aacDuration(std::string_view bytes);

    // 1 when the folder holds a ".wav" or ".wma" file (any case), else 0.
    static int HasAudioExports(const path& folder);
    // Deletes them: 1 when none is left, 0 when some could not be deleted.
    static int DeleteAudioExports(const path& folder);

    // The main unit's voice data file of a message: the header block of the information
    // file, the AAC length (32-bit big-endian) and the AAC bytes. Nullopt when either file
    // cannot be read or the information file has no complete header block.
    static std::optional<std::string> BuildUploadImage(const path& infoFile, const path& aacFile);
    // The name the file gets on the main unit: ".aac" (any case) becomes ".vmdat"; empty
    // when the name has no such extension.
    static std::string uploadName(const std::string& aacFileName);

    // Makes response message `number` in outouFolder from the user's AAC file and removes
    // an older message of the same number once the new one is complete. The new
    // information file's path goes to madeInfoFile (when given) on success.
    MakeResult MakeResponseMessage(const path& userAac, int number, const path& outouFolder,
                                   path* madeInfoFile) const;

  private:
    const StoreContext& m_context;
};

}  // namespace orven
