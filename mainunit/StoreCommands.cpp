#include "mainunit/StoreCommands.h"

#include <algorithm>

#include <arpa/inet.h>

#include "mainunit/FtpSession.h"
#include "mainunit/Listing.h"
#include "mainunit/MessageStore.h"
#include "mainunit/Payload.h"
#include "mainunit/RequestListReader.h"
#include "mainunit/ServedTree.h"
#include "mainunit/SessionHost.h"
#include "mainunit/StopSignal.h"
#include "mainunit/TransferFaults.h"
#include "mainunit/UploadImage.h"
#include "platform/FileOps.h"
#include "store/HeaderBlock.h"

namespace fs = std::filesystem;

namespace orven::mainunit {
namespace {

constexpr std::string_view kResponseFolder = "/outou";
constexpr std::size_t kBundleHeaderSize = 16;

bool hasWildcard(std::string_view text) {
    return text.find_first_of("*?") != std::string_view::npos;
}

std::string lower(std::string_view text) {
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(),
                   [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c; });
    return result;
}

bool isMessageIn(const std::string& stemPath, const std::string& folder,
                 const std::string& pattern) {
    const std::string name = ServedTree::nameOf(stemPath);
    return ServedTree::parentOf(stemPath) == folder &&
           (FileOps::matchesPattern(name + ".vminf", pattern) ||
            FileOps::matchesPattern(name + ".vmdat", pattern));
}

bool isRegular(const fs::path& path) {
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}

std::optional<std::uint64_t> regularFileSize(const fs::path& path) {
    std::error_code ec;
    const std::uint64_t size = isRegular(path) ? fs::file_size(path, ec) : 0;
    return isRegular(path) && !ec ? std::optional(size) : std::nullopt;
}

struct ListArguments {
    bool longForm = false;
    std::string path;
};

// Options such as "-l" in any order, then at most one path or pattern.
ListArguments parseListArguments(const std::string& argument) {
    ListArguments result;
    for (std::size_t at = 0; at < argument.size();) {
        const std::size_t end = std::min(argument.find(' ', at), argument.size());
        const std::string word = argument.substr(at, end - at);
        if (word.starts_with('-')) {
            result.longForm = result.longForm || word.find('l') != std::string::npos;
        } else if (!word.empty() && result.path.empty()) {
            result.path = word;
        }
        at = end + 1;
    }
    return result;
}

bool isFolder(const fs::path& path) {
    std::error_code ec;
    return fs::is_directory(path, ec);
}

}  // namespace

StoreCommands::StoreCommands(FtpSession& session) : m_session(session) {}

// A file argument: relative to the current directory or absolute, never with "..".
std::optional<StoreCommands::Target> StoreCommands::target(std::string_view argument) const {
    const auto path = ServedTree::resolve(m_session.cwd(), argument, false);
    const auto real = path ? m_session.host().tree().real(*path) : std::nullopt;
    if (!real || argument.empty()) {
        return std::nullopt;
    }
    return Target{*path, *real};
}

// "NLST [-l] [path]": a folder, a file, or a pattern in the last part of the path.
std::optional<StoreCommands::Target> StoreCommands::listedFolder(std::string_view argument,
                                                                 std::string& pattern) const {
    pattern = "*";
    if (argument.empty()) {
        return target(m_session.cwd());
    }
    auto named = target(argument);
    if (!named || isFolder(named->real)) {
        return named;
    }
    pattern = ServedTree::nameOf(named->path);
    return target(ServedTree::parentOf(named->path));
}

void StoreCommands::list(const std::string& argument, bool forceLong) {
    const ListArguments arguments = parseListArguments(argument);
    const bool longForm = forceLong || arguments.longForm;
    std::string pattern;
    const auto folder = listedFolder(arguments.path, pattern);
    const bool found = folder && isFolder(folder->real);
    const auto entries =
        found ? Listing::scan(folder->real, pattern) : std::vector<Listing::Entry>{};
    // 550 is how a box without messages answers NLST; LIST is there for stock clients, which
    // expect an empty list instead.
    if (!found || (entries.empty() && !forceLong)) {
        m_session.reply(550, "No files found.");
        return;
    }
    std::string text;
    for (const Listing::Entry& entry : entries) {
        text += longForm ? Listing::longLine(entry) : Listing::nameLine(entry);
    }
    sendListing(std::move(text));
}

// Where the listing faults act: the padding that makes a listing too long, and the cut.
void StoreCommands::sendListing(std::string text) {
    SessionHost& host = m_session.host();
    const MainUnitFaults faults = host.faults();
    if (faults.oversizeListing) {
        text = Listing::padLastLineTo(text, MainUnitFaults::kClientListingLimit);
    }
    const TransferFaults::Cut cut = TransferFaults::listingCut(faults, text.size());
    Payload payload;
    payload.addBytes(std::move(text));
    const auto outcome = sendPayload(payload, "Here comes the directory listing.", cut);
    if (outcome && faults.oversizeListing) {
        host.dropFired(SessionHost::Drop::OversizeListing);
    }
}

void StoreCommands::retrieve(const std::string& argument) {
    const auto file = target(argument);
    if (file && hasWildcard(ServedTree::nameOf(file->path))) {
        retrieveBundle(ServedTree::parentOf(file->path), ServedTree::nameOf(file->path));
        return;
    }
    const auto size = file ? regularFileSize(file->real) : std::nullopt;
    if (!size) {
        m_session.reply(550, "Failed to open file.");
        return;
    }
    Payload payload;
    payload.addFile(file->real, 0, *size);
    sendPayload(payload,
                "Opening BINARY mode data connection for " + ServedTree::nameOf(file->path) + " (" +
                    std::to_string(*size) + " bytes).",
                TransferFaults::dataCut(m_session.host().faults()));
}

// "RETR <folder>/*.datco" or "*.infco": one bundle from the last request list of that kind
// stored in the folder, holding the requested messages that still exist, in request order.
void StoreCommands::retrieveBundle(const std::string& folder, const std::string& pattern) {
    static const std::vector<std::string> kNoRequest;
    const auto request = m_requests.find(ServedTree::join(folder, lower(pattern)));
    const auto& names = request == m_requests.end() ? kNoRequest : request->second;
    const bool voice = lower(pattern) == "*.datco";
    std::vector<MessageStore::FileRange> entries;
    std::vector<std::string> stems;
    for (const std::string& name : names) {
        const std::string stem = MessageStore::stemPathOf(ServedTree::join(folder, name));
        if (auto entry = m_session.host().store().bundleEntry(stem, voice)) {
            entries.push_back(std::move(*entry));
            stems.push_back(stem);
        }
    }
    if (entries.empty()) {
        m_session.reply(550, "Failed to open file.");
        return;
    }
    Payload payload;
    std::string head = HeaderBlock::bigEndian32(static_cast<std::uint32_t>(entries.size()));
    payload.addBytes(head.append(kBundleHeaderSize - head.size(), '\0'));
    for (const MessageStore::FileRange& entry : entries) {
        payload.addFile(entry.file, 0, entry.length);
    }
    const auto outcome = sendPayload(payload, "Opening BINARY mode data connection for the bundle.",
                                     TransferFaults::dataCut(m_session.host().faults()));
    if (outcome == DataChannel::Outcome::Done) {
        m_handedOut.insert(stems.begin(), stems.end());
    }
}

// The data connection to the PORT address, after the stranger when that fault is on; false,
// answered 425, when there is none.
bool StoreCommands::openData(DataChannel& channel) {
    const auto port = m_session.takePortTarget();
    if (!port) {
        m_session.reply(425, "Use PORT first.");
        return false;
    }
    TransferFaults::sendStranger(m_session, *port);
    if (!channel.connect(*port)) {
        m_session.reply(425, "Failed to establish connection.");
        return false;
    }
    return true;
}

std::optional<DataChannel::Outcome> StoreCommands::sendPayload(Payload& payload,
                                                               const std::string& opening,
                                                               TransferFaults::Cut cut) {
    SessionHost& host = m_session.host();
    DataChannel channel(m_session.control(), host.stopSignal(), host.options().dataTimeoutMs);
    if (!openData(channel)) {
        return std::nullopt;
    }
    m_session.reply(150, opening);
    const DataChannel::Outcome outcome = channel.send(payload, cut.afterBytes);
    channel.close();
    finish(outcome, cut.fault);
    return outcome;
}

std::optional<std::string> StoreCommands::receiveFile(std::size_t limit) {
    SessionHost& host = m_session.host();
    DataChannel channel(m_session.control(), host.stopSignal(), host.options().dataTimeoutMs);
    if (!openData(channel)) {
        return std::nullopt;
    }
    m_session.reply(150, "Ok to send data.");
    std::string bytes;
    const TransferFaults::Cut cut = TransferFaults::dataCut(host.faults());
    const auto outcome = channel.receive(bytes, limit, cut.afterBytes);
    channel.close();
    if (outcome != DataChannel::Outcome::Done) {
        finish(outcome, cut.fault);
        return std::nullopt;
    }
    return bytes;
}

// The reply that ends a transfer; a finished upload is answered by its caller.
void StoreCommands::finish(DataChannel::Outcome outcome, SessionHost::Drop cutBy) {
    switch (outcome) {
        case DataChannel::Outcome::Done:
            m_session.reply(226, "Transfer complete.");
            break;
        case DataChannel::Outcome::Aborted:
            m_session.reply(426, "Transfer aborted.");
            m_session.reply(225, "ABOR successful.");
            break;
        case DataChannel::Outcome::Dropped:
            m_session.host().dropFired(cutBy);
            m_session.reply(426, "Connection closed; transfer aborted.");
            break;
        case DataChannel::Outcome::Failed:
            m_session.reply(426, "Connection closed; transfer aborted.");
            break;
        case DataChannel::Outcome::TooLarge:
            m_session.reply(552, "Exceeded storage allocation.");
            break;
        case DataChannel::Outcome::Stopped:
            m_session.control().close();
            break;
    }
}

// A new file in a folder that exists; never a pattern or a folder itself.
std::optional<StoreCommands::Target> StoreCommands::storeTarget(std::string_view argument) const {
    auto file = target(argument);
    const auto folder = file ? target(ServedTree::parentOf(file->path)) : std::nullopt;
    if (!folder || !isFolder(folder->real) || isFolder(file->real) ||
        hasWildcard(ServedTree::nameOf(file->path))) {
        return std::nullopt;
    }
    return file;
}

StoreCommands::Upload StoreCommands::kindOf(const std::string& path) {
    const std::string extension = lower(fs::path(path).extension().string());
    if (extension == ".datco" || extension == ".infco") {
        return Upload::RequestList;
    }
    const bool response = ServedTree::parentOf(path) == kResponseFolder && extension == ".vmdat";
    return response ? Upload::ResponseMessage : Upload::Plain;
}

void StoreCommands::store(const std::string& argument) {
    const auto file = storeTarget(argument);
    if (!file) {
        m_session.reply(553, "Could not create file.");
        return;
    }
    const Upload kind = kindOf(file->path);
    if (kind == Upload::ResponseMessage && !admitUpload(ServedTree::nameOf(file->path))) {
        return;
    }
    // Any other file is held to the size of the largest upload too.
    const auto bytes = receiveFile(kind == Upload::RequestList ? RequestListReader::kMaxBytes
                                                               : UploadImage::kMaxBytes);
    if (!bytes) {
        return;
    }
    switch (kind) {
        case Upload::RequestList:
            return keepRequestList(*file, *bytes);
        case Upload::ResponseMessage:
            return keepResponseMessage(*file, *bytes);
        case Upload::Plain:
            return keepPlainFile(*file, *bytes);
    }
}

// The refusals a main unit can tell from the name alone come before any data is sent.
bool StoreCommands::admitUpload(const std::string& name) {
    if (!UploadImage::responseNumber(name)) {
        m_session.reply(553, "File name not allowed.");
        return false;
    }
    if (m_session.host().faults().refuseUploads) {
        m_session.reply(450, "Upload refused.");
        return false;
    }
    switch (m_session.host().store().judgeUpload(name)) {
        case MessageStore::UploadVerdict::Accepted:
            return true;
        case MessageStore::UploadVerdict::InUse:
            m_session.reply(450, "Message is in use.");
            return false;
        case MessageStore::UploadVerdict::Full:
            m_session.reply(450, "No room for another message.");
            return false;
        case MessageStore::UploadVerdict::Older:
            m_session.reply(450, "A newer message of this number is stored.");
            return false;
        case MessageStore::UploadVerdict::Failed:
            break;
    }
    m_session.reply(451, "Could not store the message.");
    return false;
}

// The list itself is not kept as a file: only the next bundle RETR of the folder reads it.
void StoreCommands::keepRequestList(const Target& target, const std::string& bytes) {
    auto names = RequestListReader::parse(bytes);
    if (!names) {
        m_session.reply(451, "Malformed request list.");
        return;
    }
    const std::string extension = lower(fs::path(target.path).extension().string());
    m_requests[ServedTree::join(ServedTree::parentOf(target.path), "*" + extension)] =
        std::move(*names);
    m_session.reply(226, "Transfer complete.");
}

void StoreCommands::keepResponseMessage(const Target& target, const std::string& bytes) {
    const auto image = UploadImage::parse(bytes);
    if (!image) {
        m_session.reply(451, "Malformed upload.");
        return;
    }
    const std::string name = ServedTree::nameOf(target.path);
    switch (m_session.host().store().storeUpload(name, *image)) {
        case MessageStore::UploadVerdict::Accepted:
            m_session.reply(226, "Transfer complete.");
            return;
        case MessageStore::UploadVerdict::Failed:
            m_session.reply(451, "Could not store the message.");
            return;
        default:
            m_session.reply(450, "Upload refused.");
            return;
    }
}

void StoreCommands::keepPlainFile(const Target& target, const std::string& bytes) {
    if (!FileOps::replaceFileAtomically(target.real, bytes)) {
        m_session.reply(451, "Could not store the file.");
        return;
    }
    m_session.reply(226, "Transfer complete.");
}

void StoreCommands::remove(const std::string& argument) {
    const auto file = target(argument);
    const std::string name = file ? ServedTree::nameOf(file->path) : std::string();
    if (!file) {
        m_session.reply(550, "Delete operation failed.");
    } else if (hasWildcard(name)) {
        removeMatching(ServedTree::parentOf(file->path), name);
    } else if (MessageStore::isMessageFile(name)) {
        removeMessage(MessageStore::stemPathOf(file->path));
    } else {
        std::error_code ec;
        const bool removed = isRegular(file->real) && fs::remove(file->real, ec);
        m_session.reply(removed ? 250 : 550,
                        removed ? "Delete operation successful." : "Delete operation failed.");
    }
}

// "DELE <box>/*.vminf" deletes every message of the box, a message recorded after the
// client's listing too, or with deleteOnlyHandedOut only those this session was handed in a
// bundle. Protected and in-use messages stay either way.
void StoreCommands::removeMatching(const std::string& folder, const std::string& pattern) {
    SessionHost& host = m_session.host();
    const auto real = host.tree().real(folder);
    if (host.faults().wildcardDeleteUnsupported || !real || !isFolder(*real)) {
        m_session.reply(550, "Delete operation failed.");
        return;
    }
    const std::vector<std::string> candidates =
        host.options().deleteOnlyHandedOut
            ? std::vector<std::string>(m_handedOut.begin(), m_handedOut.end())
            : host.store().messagesIn(folder);
    for (const std::string& stem : candidates) {
        if (!isMessageIn(stem, folder, pattern)) {
            continue;
        }
        const auto removal = host.store().remove(stem);
        if (removal == MessageStore::Removal::Deleted ||
            removal == MessageStore::Removal::Missing) {
            m_handedOut.erase(stem);
        }
    }
    m_session.reply(250, "Delete operation successful.");
}

void StoreCommands::removeMessage(const std::string& stemPath) {
    switch (m_session.host().store().remove(stemPath)) {
        case MessageStore::Removal::Deleted:
            m_session.reply(250, "Delete operation successful.");
            break;
        case MessageStore::Removal::Missing:
            m_session.reply(550, "No such message.");
            break;
        case MessageStore::Removal::Protected:
            m_session.reply(550, "Message is protected.");
            break;
        case MessageStore::Removal::InUse:
            m_session.reply(450, "Message is in use.");
            break;
    }
}

void StoreCommands::size(const std::string& argument) {
    const auto file = target(argument);
    const auto bytes = file ? regularFileSize(file->real) : std::nullopt;
    if (!bytes) {
        m_session.reply(550, "Could not get file size.");
        return;
    }
    m_session.reply(213, std::to_string(*bytes));
}

}  // namespace orven::mainunit
