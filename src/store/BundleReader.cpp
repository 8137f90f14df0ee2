#include "store/BundleReader.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <system_error>

#include "platform/FileOps.h"
#include "store/HeaderBlock.h"
#include "store/MessageFolder.h"
#include "store/StoreNames.h"

namespace orven {

struct BundleReader::Job {
    std::istream& in;
    path bundleFolder;
    const path& destFolder;
    std::vector<std::string>* names;
    bool voiceFollows;
    bool replace;
    const DestinationMap* map;
};

namespace {

bool readExactly(std::istream& in, std::string& bytes) {
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return in.gcount() == static_cast<std::streamsize>(bytes.size());
}

// Moves past data we do not keep; a skip beyond the end shows at the next read.
void skip(std::istream& in, std::uint64_t length) {
    in.seekg(static_cast<std::streamoff>(length), std::ios::cur);
}

void removeFile(const std::filesystem::path& file) {
    std::error_code ec;
    std::filesystem::remove(file, ec);
}

bool fileExists(const std::filesystem::path& file) {
    std::error_code ec;
    return std::filesystem::exists(file, ec);
}

// A name with a separator would put files beside or above the destination.
bool isPlainName(const std::string& name) {
    return !name.empty() && name.find_first_of("/\\") == std::string::npos;
}

void record(std::vector<std::string>* names, const std::string& stored) {
    if (names != nullptr) {
        names->push_back(stored == MessageInfoFile::kAlready
                             ? stored
                             : std::filesystem::path(stored).filename().string());
    }
}

}  // namespace

BundleReader::BundleReader(const StoreContext& context) : m_context(context), m_infoFile(context) {}

int BundleReader::UnpackBundle(const path& destFolder, const path& bundle,
                               std::vector<std::string>* names, bool voiceFollows, bool replace,
                               const DestinationMap* map) {
    try {
        if (!m_context.accessOk()) {
            return -1;
        }
        std::ifstream in(bundle, std::ios::binary);
        if (!in) {
            return 0;
        }
        std::string head(kHeadSize, '\0');
        // A bundle too short for its head holds no entries.
        const std::uint32_t count = readExactly(in, head) ? HeaderBlock::readBigEndian32(head) : 0;
        const path bundleFolder = bundle.has_parent_path() ? bundle.parent_path() : path(".");
        Job job{in, bundleFolder, destFolder, names, voiceFollows, replace, map};
        return unpackEntries(job, count);
    } catch (...) {
        return -1;
    }
}

int BundleReader::unpackEntries(Job& job, std::uint32_t count) {
    for (std::uint32_t i = 0; i < count; ++i) {
        m_context.pump();
        if (m_context.stopped()) {
            break;
        }
        const Outcome outcome = unpackEntry(job);
        if (outcome == Outcome::Failed) {
            return -1;
        }
        if (outcome == Outcome::DiskFull) {
            return -4;
        }
        if (outcome == Outcome::End) {
            break;
        }
    }
    return job.names != nullptr ? static_cast<int>(job.names->size()) : 1;
}

BundleReader::Outcome BundleReader::unpackEntry(Job& job) {
    if (!m_context.accessOk()) {
        return Outcome::Failed;
    }
    if (!hasRoom(job, 0)) {
        return Outcome::DiskFull;
    }
    std::string raw(HeaderBlock::kSize, '\0');
    if (!readExactly(job.in, raw)) {
        return job.in.bad() ? Outcome::Failed : Outcome::End;
    }
    const HeaderBlock block(raw);
    if (!isPlainName(block.fileName())) {
        return Outcome::End;
    }
    const std::string stored =
        m_infoFile.StoreHeaderBlock(block, job.destFolder, job.voiceFollows, job.map);
    if (stored.empty()) {
        return Outcome::End;
    }
    if (!job.voiceFollows) {
        record(job.names, stored);
        return Outcome::Stored;
    }
    return unpackVoice(job, stored);
}

BundleReader::Outcome BundleReader::unpackVoice(Job& job, const std::string& stored) {
    const bool already = stored == MessageInfoFile::kAlready;
    std::string lengthBytes(4, '\0');
    const bool haveLength = readExactly(job.in, lengthBytes);
    const std::uint64_t length = HeaderBlock::readBigEndian32(lengthBytes);
    if (!haveLength || !hasRoom(job, length)) {
        if (!already) {
            removeFile(stored);
        }
        return haveLength ? Outcome::DiskFull : Outcome::End;
    }
    const path voice = already ? path() : StoreNames::voicePath(stored);
    if (already || (!job.replace && fileExists(voice))) {
        skip(job.in, length);
        record(job.names, stored);
        return Outcome::Stored;
    }
    const Outcome copied = copyVoice(job, voice, length);
    if (copied != Outcome::Stored) {
        removeFile(stored);
        return copied;
    }
    record(job.names, stored);
    if (job.replace) {
        MessageFolder(m_context).RemoveOlderCopies(voice.parent_path(), voice.filename().string());
    }
    return Outcome::Stored;
}

// Stored when the voice file is complete under its name; Dropped when it could not be made
// but the bundle stands at the next entry; End or Failed as the loop should go on.
BundleReader::Outcome BundleReader::copyVoice(Job& job, const path& voice, std::uint64_t length) {
    const path part = voice.string() + std::string(kPartSuffix);
    std::ofstream out(part, std::ios::binary | std::ios::trunc);
    if (!out) {
        skip(job.in, length);
        return Outcome::Dropped;
    }
    Outcome outcome = copyPieces(job.in, out, length);
    out.close();
    // Under its name the file counts as stored, also after a power cut: it must be whole.
    if (outcome == Outcome::Stored && (out.fail() || !FileOps::flushFile(part))) {
        outcome = Outcome::Failed;
    }
    std::error_code ec;
    if (outcome == Outcome::Stored) {
        std::filesystem::rename(part, voice, ec);
        if (!ec) {
            return Outcome::Stored;
        }
        outcome = Outcome::Dropped;
    }
    removeFile(part);
    return outcome;
}

// A cancel stops the copy at once rather than after what may be minutes of voice; the
// entry is then dropped like one the bundle cut short.
BundleReader::Outcome BundleReader::copyPieces(std::istream& in, std::ostream& out,
                                               std::uint64_t length) {
    std::array<char, kPieceSize> piece;
    for (std::uint64_t left = length; left > 0;) {
        m_context.pump();
        if (m_context.stopped()) {
            return Outcome::End;
        }
        if (!m_context.accessOk()) {
            return Outcome::Failed;
        }
        const auto want = static_cast<std::streamsize>(std::min<std::uint64_t>(left, kPieceSize));
        in.read(piece.data(), want);
        if (in.gcount() != want) {
            return in.bad() ? Outcome::Failed : Outcome::End;
        }
        if (!out.write(piece.data(), want)) {
            return Outcome::Failed;
        }
        left -= static_cast<std::uint64_t>(want);
    }
    return Outcome::Stored;
}

bool BundleReader::hasRoom(const Job& job, std::uint64_t length) const {
    if (m_context.fileSystem == nullptr) {
        return true;
    }
    const auto free = m_context.fileSystem->freeSpace(job.bundleFolder);
    return !free || *free >= length + kSpareBytes;
}

}  // namespace orven
