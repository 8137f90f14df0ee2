#include "link/RemoteListing.h"

#include <algorithm>

#include "platform/CodePage.h"

namespace orven {
namespace {

constexpr int kMissing = 550;  // "550 Failed to change directory." / "550 No files found."
constexpr std::size_t kListingEndCapacity = 102'400;
constexpr int kCompleteFirst = 200;
constexpr int kCompleteLast = 299;

std::string cwdLine(std::string_view directory) {
    return "CWD " + std::string(directory) + "\r\n";
}

}  // namespace

RemoteListing::RemoteListing(FTPCONN_INFO& connection, const LinkContext& context)
    : m_context(context), m_control(connection, context), m_data(connection, m_control, context) {}

int RemoteListing::ListNames(std::string& text, std::string_view directory, bool namesOnly) {
    text.clear();
    const int cwd = m_control.SendCommand(cwdLine(directory));
    if (cwd != 0) {
        return cwd == kMissing ? -2 : 0;
    }
    const int opened = m_data.OpenActiveData(namesOnly ? "NLST *.vminf\r\n" : "NLST\r\n");
    if (opened != 0) {
        return opened == kMissing ? 1 : 0;
    }
    std::string raw;
    if (receiveAll(raw, false) != Received::End) {
        m_data.Close();
        return -1;
    }
    text = CodePage::cp932ToUtf8(std::string_view(raw).substr(0, raw.find('\0')));
    return finish(kListingEndCapacity);
}

int RemoteListing::ListLong(std::string& text, std::string_view directory, bool voiceDataOnly) {
    text.clear();
    const int cwd = m_control.SendCommand(cwdLine(directory));
    if (cwd != 0) {
        return cwd == kMissing ? -2 : cwd;
    }
    const int opened = m_data.OpenActiveData(voiceDataOnly ? "NLST -l *.vmdat\r\n" : "NLST -l\r\n");
    if (opened != 0) {
        return opened == kMissing ? 1 : opened;
    }
    std::string raw;
    const Received received = receiveAll(raw, true);
    text = CodePage::cp932ToUtf8(raw);
    if (received != Received::End) {
        // The abort has read the replies that end a cancelled listing already.
        m_data.Close();
        return -1;
    }
    return finish(kListingEndCapacity);
}

int RemoteListing::ListHere(std::string& text, std::size_t characterLimit,
                            std::size_t endReplyCapacity) {
    text.clear();
    const int opened = m_data.OpenActiveData("NLST\r\n");
    if (opened == kMissing) {
        return 0;  // "550 No files found.": a kind without boxes
    }
    if (opened != 0) {
        return opened;
    }
    std::string raw;
    if (receiveAll(raw, false) != Received::End) {
        m_data.Close();
        return -1;
    }
    const std::u16string wide = CodePage::cp932ToUtf16(raw);
    text = CodePage::utf16ToUtf8(std::u16string_view(wide).substr(0, characterLimit));
    return finish(endReplyCapacity) == 1 ? 0 : -1;
}

RemoteListing::Received RemoteListing::receiveAll(std::string& raw, bool watchCancel) {
    char chunk[DataChannel::kChunkSize];
    for (;;) {
        m_context.pump();
        if (watchCancel && m_context.cancelled()) {
            m_data.Abandon();
            m_control.AbortTransfer(false);
            return Received::Cancelled;
        }
        const int got = m_data.ReceiveChunk(chunk);
        if (got <= 0) {
            return got == 0 ? Received::End : Received::Failed;
        }
        if (raw.size() + static_cast<std::size_t>(got) >= kRawLimit) {
            // A listing we cannot hold whole is no listing: what it would leave out could be
            // taken for gone. The main unit ends the transfer with a reply of its own.
            m_data.Abandon();
            m_control.AbortTransfer(false);
            return Received::Failed;
        }
        raw.append(chunk, static_cast<std::size_t>(got));
    }
}

// Only "226 Transfer complete." (or another 2xx) says that the data connection carried the
// whole listing; "426" after a dropped connection means part of it is missing.
int RemoteListing::finish(std::size_t endReplyCapacity) {
    std::string line;
    const int length =
        m_control.ReadReplyLine(line, endReplyCapacity, m_context.timing.replyTimeoutMs);
    m_data.Close();
    const int code = length > 0 ? ControlChannel::ReplyCode(line) : -1;
    return code >= kCompleteFirst && code <= kCompleteLast ? 1 : -1;
}

}  // namespace orven
