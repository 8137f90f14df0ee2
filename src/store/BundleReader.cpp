#include "store/BundleReader.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <system_error>
#include <utility>

#include <fcntl.h>
#include <unistd.h>

#include "platform/FileOps.h"
#include "store/HeaderBlock.h"

namespace orven {

struct BundleReader::Job {
    std::istream& in;
    path bundleFolder;
    const path& destFolder;
    bool voiceFollows;
    bool replace;
    const DestinationMap* map;
    StoreBatch& batch;
    // Voice files leave in one write or a few, whatever the piece size.
    std::vector<char> writeBuffer = std::vector<char>(kStreamBufferSize);
};

// A voice file written under its temporary name. Pieces gather in the job's buffer, so the
// file takes one write or a few whatever the piece size. A file opened here is removed again
// unless finish() succeeded.
class BundleReader::VoicePart {
  public:
    VoicePart(const FileSystem& files, const path& voice, std::vector<char>& buffer)
        : m_files(files),
          m_voice(voice),
          m_part(StoreBatch::partOf(voice)),
          m_buffer(buffer),
          m_fd(::open(m_part.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, kVoiceMode)) {}
    ~VoicePart() {
        if (m_fd >= 0) {
            ::close(m_fd);
            StoreBatch::removePart(m_voice);
        }
    }
    VoicePart(const VoicePart&) = delete;
    VoicePart& operator=(const VoicePart&) = delete;

    bool opened() const { return m_fd >= 0; }

    bool append(std::string_view bytes) {
        if (m_used + bytes.size() > m_buffer.size() && !drain()) {
            return false;
        }
        if (bytes.size() > m_buffer.size()) {
            return m_files.writeAll(m_fd, m_part, bytes);
        }
        std::copy(bytes.begin(), bytes.end(),
                  m_buffer.begin() + static_cast<std::ptrdiff_t>(m_used));
        m_used += bytes.size();
        return true;
    }

    // Writes what is still buffered and closes the file, which then stays.
    bool finish() {
        const bool drained = drain();
        const bool closed = ::close(std::exchange(m_fd, -1)) == 0;
        if (drained && closed) {
            return true;
        }
        StoreBatch::removePart(m_voice);
        return false;
    }

  private:
    static constexpr mode_t kVoiceMode = 0644;  // less the umask, as every new store file

    bool drain() {
        const bool written = m_files.writeAll(m_fd, m_part, {m_buffer.data(), m_used});
        m_used = 0;
        return written;
    }

    const FileSystem& m_files;
    path m_voice;
    path m_part;
    std::vector<char>& m_buffer;
    std::size_t m_used = 0;
    int m_fd;
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

// A name with a separator would put files beside or above the destination.
bool isPlainName(const std::string& name) {
    return !name.empty() && name.find_first_of("/\\") == std::string::npos;
}

// Every folder this bundle may write into.
std::vector<std::filesystem::path> foldersOf(const std::filesystem::path& destFolder,
                                             const DestinationMap* map) {
    if (map == nullptr) {
        return {destFolder};
    }
    std::vector<std::filesystem::path> folders = map->folders();
    std::sort(folders.begin(), folders.end());
    folders.erase(std::unique(folders.begin(), folders.end()), folders.end());
    return folders;
}

}  // namespace

BundleReader::BundleReader(const StoreContext& context) : m_context(context), m_infoFile(context) {}

int BundleReader::UnpackBundle(const path& destFolder, const path& bundle,
                               std::vector<std::string>* names, bool voiceFollows, bool replace,
                               const DestinationMap* map) {
    try {
        if (!m_context.accessOk()) {
            return kFailed;
        }
        for (const path& folder : foldersOf(destFolder, map)) {
            StoreBatch::removeLeftovers(folder);
        }
        std::vector<char> readBuffer(kStreamBufferSize);
        std::ifstream in;
        in.rdbuf()->pubsetbuf(readBuffer.data(), std::ssize(readBuffer));
        in.open(bundle, std::ios::binary);
        if (!in) {
            return kNotOpened;
        }
        std::string head(kHeadSize, '\0');
        // A bundle too short for its head holds no entries.
        const std::uint32_t count = readExactly(in, head) ? HeaderBlock::readBigEndian32(head) : 0;
        const path bundleFolder = bundle.has_parent_path() ? bundle.parent_path() : path(".");
        StoreBatch batch(m_context, names, replace);
        Job job{in, bundleFolder, destFolder, voiceFollows, replace, map, batch};
        return unpackEntries(job, count);
    } catch (...) {
        return kFailed;
    }
}

// Whatever ends the loop, the entries completed before it are committed.
int BundleReader::unpackEntries(Job& job, std::uint32_t count) {
    Outcome outcome = Outcome::Stored;
    for (std::uint32_t i = 0; i < count && !job.batch.failed(); ++i) {
        m_context.pump();
        if (m_context.stopped()) {
            break;
        }
        outcome = unpackEntry(job);
        if (outcome != Outcome::Stored && outcome != Outcome::Dropped) {
            break;
        }
        if (job.batch.full()) {
            job.batch.commit();
        }
    }
    if (!job.batch.commit() || outcome == Outcome::Failed) {
        return kFailed;
    }
    return outcome == Outcome::DiskFull ? kDiskFull : job.batch.count();
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
    const std::optional<PlannedInfo> plan = planEntry(job, block);
    if (!plan) {
        return job.batch.failed() ? Outcome::Failed : Outcome::End;
    }
    if (job.voiceFollows) {
        return unpackVoice(job, *plan);
    }
    return addEntry(job, *plan, {}, 0);
}

// A message named twice in one bundle is looked at again once the first copy has its names,
// as if every entry were stored on its own.
std::optional<BundleReader::PlannedInfo> BundleReader::planEntry(Job& job,
                                                                 const HeaderBlock& block) {
    auto plan = m_infoFile.planHeaderBlock(block, job.destFolder, job.voiceFollows, job.map);
    if (plan && job.batch.holds(plan->file)) {
        if (!job.batch.commit()) {
            return std::nullopt;
        }
        plan = m_infoFile.planHeaderBlock(block, job.destFolder, job.voiceFollows, job.map);
    }
    return plan;
}

BundleReader::Outcome BundleReader::unpackVoice(Job& job, const PlannedInfo& plan) {
    std::string lengthBytes(4, '\0');
    if (!readExactly(job.in, lengthBytes)) {
        return Outcome::End;
    }
    const std::uint64_t length = HeaderBlock::readBigEndian32(lengthBytes);
    if (!hasRoom(job, length)) {
        return Outcome::DiskFull;
    }
    if (plan.already || (!job.replace && FileOps::findAnyCase(plan.voice))) {
        skip(job.in, length);
        return addEntry(job, plan, {}, 0);
    }
    // The voice is complete before the record that says it is stored is written.
    const Outcome copied = copyVoice(job, plan.voice, length);
    if (copied != Outcome::Stored) {
        return copied;
    }
    return addEntry(job, plan, plan.voice, length);
}

// The information file joins the batch under its temporary name, with the voice file
// written before it if there is one.
BundleReader::Outcome BundleReader::addEntry(Job& job, const PlannedInfo& plan, const path& voice,
                                             std::uint64_t voiceBytes) {
    if (plan.already) {
        job.batch.add({std::string(MessageInfoFile::kAlready), {}, {}}, 0);
        return Outcome::Stored;
    }
    if (!job.batch.writePart(plan.file, plan.bytes)) {
        if (!voice.empty()) {
            StoreBatch::removePart(voice);
        }
        return Outcome::End;
    }
    job.batch.add({plan.file.filename().string(), plan.file, voice},
                  plan.bytes.size() + voiceBytes);
    return Outcome::Stored;
}

// Stored when the voice is complete under its temporary name; Dropped when it could not be
// made but the bundle stands at the next entry; End or Failed as the loop should go on.
// Nothing of it is left otherwise.
BundleReader::Outcome BundleReader::copyVoice(Job& job, const path& voice, std::uint64_t length) {
    VoicePart part(m_context.files(), voice, job.writeBuffer);
    if (!part.opened()) {
        skip(job.in, length);
        return Outcome::Dropped;
    }
    const Outcome outcome = copyPieces(job.in, part, length);
    if (outcome == Outcome::Stored && !part.finish()) {
        return Outcome::Failed;
    }
    return outcome;
}

// A cancel stops the copy at once rather than after what may be minutes of voice; the
// entry is then dropped like one the bundle cut short.
BundleReader::Outcome BundleReader::copyPieces(std::istream& in, VoicePart& out,
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
        if (!out.append({piece.data(), static_cast<std::size_t>(want)})) {
            return Outcome::Failed;
        }
        left -= static_cast<std::uint64_t>(want);
    }
    return Outcome::Stored;
}

bool BundleReader::hasRoom(const Job& job, std::uint64_t length) const {
    return m_context.hasRoom(job.bundleFolder, length + kSpareBytes);
}

}  // namespace orven
