#include "store/VoiceData.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <system_error>
#include <utility>
#include <vector>

#include "platform/FileIo.h"
#include "platform/FileOps.h"
#include "platform/SystemClock.h"
#include "store/FILESTS_INFO.h"
#include "store/HeaderBlock.h"
#include "store/StoreAnswers.h"
#include "store/StoreNames.h"

namespace orven {
namespace {

namespace fs = std::filesystem;

// Every AAC file beyond this size fails the bit rate limit at any accepted playing time,
// so it is refused without reading it.
constexpr std::uint64_t kMaxAacBytes = std::uint64_t{4} << 20;
constexpr std::uint64_t kMillisecondsPerFrame = 128;  // 1024 samples at 8000 Hz
constexpr std::uint64_t kMaxMilliseconds = 600060;
constexpr std::uint64_t kMaxBitsPerSecond = 48000;
constexpr std::uint64_t kClusterBytes = 4096;
constexpr std::string_view kAacExtension = ".aac";
constexpr std::string_view kInfoExtension = ".vminf";
constexpr std::string_view kDataExtension = ".vmdat";

std::uint8_t byteAt(std::string_view bytes, std::size_t at) {
    return static_cast<std::uint8_t>(bytes[at]);
}

// Sync word; no CRC; AAC-LC profile bit; 8000 Hz; one channel.
bool hasAcceptedHeader(std::string_view bytes) {
    if (bytes.size() < 4) {
        return false;
    }
    const std::uint8_t b1 = byteAt(bytes, 1), b2 = byteAt(bytes, 2), b3 = byteAt(bytes, 3);
    return byteAt(bytes, 0) == 0xFF && (b1 & 0xF0) == 0xF0 && (b1 & 0x01) != 0 &&
           (b2 & 0x40) != 0 && (b2 & 0x01) == 0 && (b2 & 0x2C) == 0x2C && (b3 & 0xC0) == 0x40;
}

// Every 0xFF followed by the first header's second byte starts a frame.
std::uint64_t countFrames(std::string_view bytes) {
    const std::uint8_t b1 = byteAt(bytes, 1);
    std::uint64_t frames = 0;
    for (std::size_t i = 0; i + 1 < bytes.size(); ++i) {
        if (byteAt(bytes, i) == 0xFF && byteAt(bytes, i + 1) == b1) {
            ++frames;
            ++i;
        }
    }
    return frames;
}

// The frame count of acceptable AAC data, 0 when it is refused. Integer arithmetic keeps
// the limits exact where the playing time in seconds has no exact binary form.
std::uint64_t acceptedFrames(std::string_view bytes) {
    if (!hasAcceptedHeader(bytes)) {
        return 0;
    }
    const std::uint64_t frames = countFrames(bytes);
    const std::uint64_t milliseconds = frames * kMillisecondsPerFrame;
    if (frames == 0 || milliseconds > kMaxMilliseconds) {
        return 0;
    }
    const std::uint64_t bitsPerSecond = bytes.size() * std::uint64_t{8000} / milliseconds;
    return bitsPerSecond > kMaxBitsPerSecond ? 0 : frames;
}

// The whole file when it is no longer than maxBytes.
std::optional<std::string> readFile(const FileSystem& files, const fs::path& file,
                                    std::uint64_t maxBytes) {
    ReadResult read = files.readWhole(file, maxBytes);
    return read.ok() ? std::optional<std::string>(std::move(read.bytes)) : std::nullopt;
}

std::string asciiUpper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) {
        return static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    });
    return text;
}

bool endsWithNoCase(std::string_view text, std::string_view tail) {
    return text.size() >= tail.size() &&
           asciiUpper(std::string(text.substr(text.size() - tail.size()))) ==
               asciiUpper(std::string(tail));
}

std::string threeDigits(int number) {
    char text[16];
    std::snprintf(text, sizeof text, "%03d", number);
    return text;
}

std::string responseFileName(const LocalTime& now, int number, const std::string& extension) {
    char text[64];
    std::snprintf(text, sizeof text, "%04d%02d%02d%02d%02d_%s_A%s_0000%s", now.year % 10000,
                  now.month, now.day, now.hour, now.minute, StoreNames::weekdayUpper(now).c_str(),
                  threeDigits(number).c_str(), extension.c_str());
    return asciiUpper(text);
}

std::string infoFileBytes(const std::string& voiceName, int number, std::uint64_t frames,
                          const LocalTime& now) {
    HeaderBlock block;
    block.setFileName(VoiceData::uploadName(voiceName));
    block.setSignature();
    block.setDate(now);
    // The playing time in hundredths, truncated, then in tenths.
    block.setLengthTenths(static_cast<std::uint32_t>(frames * kMillisecondsPerFrame / 100));
    block.setResponseNumber(static_cast<std::uint16_t>(number));
    block.setField(HeaderBlock::kBoxNumberAt, HeaderBlock::kBoxNumberSize, threeDigits(number));

    const auto seconds = static_cast<int>(frames * kMillisecondsPerFrame / 1000);
    char length[32];
    std::snprintf(length, sizeof length, "%02d:%02d:%02d", seconds / 3600, seconds / 60 % 60,
                  seconds % 60);
    FILESTS_INFO record = FILESTS_INFO::zeroed();
    FILESTS_INFO::setText(record.boxNumber, threeDigits(number));
    FILESTS_INFO::setText(record.recordingLength, std::string_view(length));
    return record.toBytes() + block.str();
}

// A voice or information file of a response message with this number.
bool isResponseFileOf(const std::string& name, const std::string& number) {
    const bool voice =
        endsWithNoCase(name, kAacExtension) && name.size() == StoreNames::kResponseNameLength - 2;
    const bool info =
        endsWithNoCase(name, kInfoExtension) && name.size() == StoreNames::kResponseNameLength;
    return (voice || info) && name[17] == 'A' && StoreNames::boxNumber(name) == number;
}

// Removes the older messages of the number; also a voice file of the new stem in the other
// case, which would otherwise be found before the new one.
void removeOlderMessages(const fs::path& folder, int number, const std::string& keepVoice,
                         const std::string& keepInfo) {
    const std::string wanted = threeDigits(number);
    std::vector<fs::path> older;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeError;
        const std::string name = it->path().filename().string();
        if (it->is_regular_file(typeError) && name != keepVoice && name != keepInfo &&
            isResponseFileOf(name, wanted)) {
            older.push_back(it->path());
        }
    }
    for (const fs::path& file : older) {
        fs::remove(file, ec);
    }
}

// The file rounded up past its last cluster.
std::uint64_t roomFor(std::uint64_t size) {
    return (size / kClusterBytes + 1) * kClusterBytes;
}

struct ResponseMessage {
    std::string voiceName;
    int number;
    std::uint64_t frames;
};

// The voice file first, then the information file that makes it a message; the older
// message of the number goes only once the new one is complete.
VoiceData::MakeResult storeMessage(const FileSystem& files, const ResponseMessage& message,
                                   std::string_view voiceBytes, const LocalTime& now,
                                   const fs::path& folder, fs::path* madeInfoFile) {
    using MakeResult = VoiceData::MakeResult;
    const std::string& name = message.voiceName;
    const fs::path voice = folder / name;
    const fs::path info = folder / (name.substr(0, name.size() - 3) + "vminf");
    if (!FileIo::replaceAtomically(files, voice, voiceBytes)) {
        return MakeResult::Failed;
    }
    const std::string infoBytes = infoFileBytes(name, message.number, message.frames, now);
    if (!FileIo::replaceAtomically(files, info, infoBytes)) {
        std::error_code ec;
        fs::remove(voice, ec);
        return MakeResult::Failed;
    }
    removeOlderMessages(folder, message.number, name, info.filename().string());
    if (madeInfoFile != nullptr) {
        *madeInfoFile = info;
    }
    return MakeResult::Made;
}

}  // namespace

double VoiceData::aacDuration(std::string_view bytes) {
    const std::uint64_t frames = acceptedFrames(bytes);
    return frames == 0 ? kNotAccepted : static_cast<double>(frames) * 0.128;
}

double VoiceData::GetAacDuration(const path& aacFile) {
    try {
        const std::optional<std::string> bytes =
            readFile(LocalFileSystem::machine(), aacFile, kMaxAacBytes);
        return bytes ? aacDuration(*bytes) : kNotAccepted;
    } catch (...) {
        return kNotAccepted;
    }
}

int VoiceData::HasAudioExports(const path& folder) {
    try {
        return FileOps::glob(folder, "*.wav").empty() && FileOps::glob(folder, "*.wma").empty()
                   ? store::kNo
                   : store::kYes;
    } catch (...) {
        return store::kNo;
    }
}

int VoiceData::DeleteAudioExports(const path& folder) {
    try {
        int result = store::kDone;
        for (const std::string_view pattern : {"*.wav", "*.wma"}) {
            for (const std::string& name : FileOps::glob(folder, pattern)) {
                std::error_code ec;
                if (!fs::remove(folder / name, ec) || ec) {
                    result = store::kFailed;
                }
            }
        }
        return result;
    } catch (...) {
        return store::kFailed;
    }
}

std::optional<std::string> VoiceData::BuildUploadImage(const path& infoFile, const path& aacFile) {
    try {
        constexpr std::size_t kInfoSize = FILESTS_INFO::kSize + HeaderBlock::kSize;
        // What a longer file holds past the record and the header block is not the main
        // unit's and is not sent.
        const ReadResult info = FileIo::readHead(infoFile, kInfoSize);
        const std::optional<path> voicePath = FileOps::findAnyCase(aacFile);
        if (!info.ok() || info.bytes.size() < kInfoSize || !voicePath) {
            return std::nullopt;
        }
        const std::optional<std::string> voice = readFile(
            LocalFileSystem::machine(), *voicePath, std::numeric_limits<std::uint32_t>::max());
        if (!voice) {
            return std::nullopt;
        }
        return info.bytes.substr(FILESTS_INFO::kSize, HeaderBlock::kSize) +
               HeaderBlock::bigEndian32(static_cast<std::uint32_t>(voice->size())) + *voice;
    } catch (...) {
        return std::nullopt;
    }
}

std::string VoiceData::uploadName(const std::string& aacFileName) {
    if (!endsWithNoCase(aacFileName, kAacExtension)) {
        return {};
    }
    return aacFileName.substr(0, aacFileName.size() - kAacExtension.size()) +
           std::string(kDataExtension);
}

VoiceData::MakeResult VoiceData::MakeResponseMessage(const path& userAac, int number,
                                                     const path& outouFolder,
                                                     path* madeInfoFile) const {
    try {
        if (!m_context.accessOk()) {
            return MakeResult::Failed;
        }
        const std::string extension = userAac.extension().string();
        const bool isAac = asciiUpper(extension) == asciiUpper(std::string(kAacExtension));
        if (number < kMinResponseNumber || number > kMaxResponseNumber || !isAac) {
            return MakeResult::Unsupported;
        }
        // Read once: what is checked is exactly what gets stored.
        const std::optional<std::string> bytes = readFile(m_context.files(), userAac, kMaxAacBytes);
        const std::uint64_t frames = bytes ? acceptedFrames(*bytes) : 0;
        if (frames == 0) {
            return MakeResult::Unsupported;
        }
        if (!m_context.hasRoom(outouFolder, roomFor(bytes->size()))) {
            return MakeResult::NoSpace;
        }
        static const SystemClock systemClock;
        const LocalTime now = (m_context.clock != nullptr ? m_context.clock : &systemClock)->now();
        const ResponseMessage message{responseFileName(now, number, extension), number, frames};
        return storeMessage(m_context.files(), message, *bytes, now, outouFolder, madeInfoFile);
    } catch (...) {
        return MakeResult::Failed;
    }
}

}  // namespace orven
