#include "link/RemoteListing.h"

#include <algorithm>

#include "platform/CodePage.h"

namespace orven {
namespace {

// "550 No files found." to an NLST: an empty listing.
constexpr TransferResult kNoFiles = TransferResult::Unavailable;
constexpr std::size_t kListingEndCapacity = 102'400;
constexpr int kCompleteFirst = 200;
constexpr int kCompleteLast = 299;

std::string cwdLine(std::string_view directory) {
    return "CWD " + std::string(directory) + "\r\n";
}

// A refused command's code goes on to the caller; no reply is a failed listing.
ListingResult refused(ReplyCode reply) {
    return reply == ReplyCode::NoReply ? ListingResult::Failed : listingResultOf(codeOf(reply));
}
ListingResult refused(TransferResult opened) {
    return opened == TransferResult::Failed ? ListingResult::Failed
                                            : listingResultOf(codeOf(opened));
}

}  // namespace

RemoteListing::RemoteListing(FTPCONN_INFO& connection, const Services& context)
    : m_context(context), m_control(connection, context), m_data(connection, m_control, context) {}

ListingResult RemoteListing::ListNames(std::string& text, std::string_view directory,
                                       bool namesOnly) {
    text.clear();
    const ReplyCode cwd = m_control.SendCommand(cwdLine(directory));
    if (cwd != ReplyCode::Success) {
        return cwd == ReplyCode::Unavailable ? ListingResult::NoSuchDirectory
                                             : ListingResult::CommandFailed;
    }
    const TransferResult opened =
        m_data.OpenActiveData(namesOnly ? "NLST *.vminf\r\n" : "NLST\r\n");
    if (opened != TransferResult::Done) {
        return opened == kNoFiles ? ListingResult::Listed : ListingResult::CommandFailed;
    }
    std::string raw;
    if (receiveAll(raw, false) != Received::End) {
        m_data.Close();
        return ListingResult::Failed;
    }
    text = CodePage::cp932ToUtf8(std::string_view(raw).substr(0, raw.find('\0')));
    return finish(kListingEndCapacity);
}

ListingResult RemoteListing::ListLong(std::string& text, std::string_view directory,
                                      bool voiceDataOnly) {
    text.clear();
    const ReplyCode cwd = m_control.SendCommand(cwdLine(directory));
    if (cwd != ReplyCode::Success) {
        return cwd == ReplyCode::Unavailable ? ListingResult::NoSuchDirectory : refused(cwd);
    }
    const TransferResult opened =
        m_data.OpenActiveData(voiceDataOnly ? "NLST -l *.vmdat\r\n" : "NLST -l\r\n");
    if (opened != TransferResult::Done) {
        return opened == kNoFiles ? ListingResult::Listed : refused(opened);
    }
    std::string raw;
    const Received received = receiveAll(raw, true);
    text = CodePage::cp932ToUtf8(raw);
    if (received != Received::End) {
        // The abort has read the replies that end a cancelled listing already.
        m_data.Close();
        return ListingResult::Failed;
    }
    return finish(kListingEndCapacity);
}

ListingResult RemoteListing::ListHere(std::string& text, std::size_t characterLimit,
                                      std::size_t endReplyCapacity) {
    text.clear();
    const TransferResult opened = m_data.OpenActiveData("NLST\r\n");
    if (opened == kNoFiles) {
        return ListingResult::Listed;  // "550 No files found.": a kind without boxes
    }
    if (opened != TransferResult::Done) {
        return refused(opened);
    }
    std::string raw;
    if (receiveAll(raw, false) != Received::End) {
        m_data.Close();
        return ListingResult::Failed;
    }
    const std::u16string wide = CodePage::cp932ToUtf16(raw);
    text = CodePage::utf16ToUtf8(std::u16string_view(wide).substr(0, characterLimit));
    return finish(endReplyCapacity);
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
ListingResult RemoteListing::finish(std::size_t endReplyCapacity) {
    std::string line;
    const int length =
        m_control.ReadReplyLine(line, endReplyCapacity, m_context.timing.replyTimeoutMs);
    m_data.Close();
    const int code = length > 0 ? ControlChannel::CodeOf(line) : ControlChannel::kNoCode;
    const bool whole = code >= kCompleteFirst && code <= kCompleteLast;
    return whole ? ListingResult::Listed : ListingResult::Failed;
}

}  // namespace orven
