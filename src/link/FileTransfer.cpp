#include "link/FileTransfer.h"

#include <cerrno>
#include <string>

#include <fcntl.h>
#include <unistd.h>

#include "platform/FileIo.h"

namespace orven {
namespace {

std::string joined(const std::filesystem::path& folder, std::string_view name) {
    std::string path = folder.string();
    if (path.empty() || path.back() != '/') {
        path += '/';
    }
    return path.append(name);
}

}  // namespace

FileTransfer::FileTransfer(FTPCONN_INFO& connection, const Services& context)
    : m_connection(connection),
      m_context(context),
      m_control(connection, context),
      m_data(connection, m_control, context) {}

TransferResult FileTransfer::Retrieve(std::string_view remoteName, std::string_view localName) {
    const TransferResult opened = m_data.OpenActiveData("RETR " + std::string(remoteName) + "\r\n");
    if (opened != TransferResult::Done) {
        return opened;
    }
    const std::string path =
        joined(m_connection.localDirectory, localName.empty() ? remoteName : localName);
    const int file = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (file < 0) {
        m_data.Close();
        return TransferResult::Failed;
    }
    const Outcome outcome = copyToFile(file);
    ::fsync(file);
    ::close(file);
    m_data.Close();
    if (outcome != Outcome::Done) {
        // After a cancel the abort has read the replies that end the transfer.
        return outcome == Outcome::Cancelled ? TransferResult::Cancelled : TransferResult::Failed;
    }
    const bool ended = m_control.ReadTransferEnd();
    if (m_context.cancelled()) {
        return TransferResult::Cancelled;
    }
    return ended ? TransferResult::Done : TransferResult::Failed;
}

FileTransfer::Outcome FileTransfer::copyToFile(int file) {
    char chunk[DataChannel::kChunkSize];
    for (;;) {
        m_context.pump();
        if (m_context.cancelled()) {
            abort();
            return Outcome::Cancelled;
        }
        const int got = m_data.ReceiveChunk(chunk);
        if (got <= 0) {
            return got == 0 ? Outcome::Done : Outcome::Failed;
        }
        if (!FileIo::writeAll(file, std::string_view(chunk, static_cast<std::size_t>(got)))) {
            abort();
            return Outcome::Failed;
        }
    }
}

// The data connection goes first: a server that reads the control connection only between
// transfers (vsftpd without urgent data) then answers "426" and "225" at once instead of
// after our reply time-out.
void FileTransfer::abort() {
    m_data.Abandon();
    m_control.AbortTransfer(false);
}

TransferResult FileTransfer::Store(std::string_view bytes, std::string_view remotePath) {
    const TransferResult opened = m_data.OpenActiveData("STOR " + std::string(remotePath) + "\r\n");
    if (opened != TransferResult::Done) {
        return opened;
    }
    const std::int64_t sent = m_data.StoreData(bytes);
    if (m_context.cancelled() || sent != static_cast<std::int64_t>(bytes.size())) {
        // A reset, not an orderly end: the main unit must not keep a part for the whole.
        m_data.Abandon();
        return TransferResult::Failed;
    }
    m_data.Close();  // the orderly end is what tells the main unit the file is complete
    return transferResultOf(m_control.ReadFinalReply(m_context.timing.storEndReplyTimeoutMs));
}

}  // namespace orven
