#include "link/CFtpMng.h"

#include <atomic>

#include <arpa/inet.h>

#include "link/ControlChannel.h"
#include "link/DataChannel.h"
#include "link/FileTransfer.h"
#include "link/ListingLines.h"
#include "link/RemoteListing.h"
#include "link/SocketOps.h"

namespace orven {
namespace {

constexpr int kRootSteps = 5;  // the boxes lie two levels deep, so five "CWD ../" always do
constexpr std::size_t kRootListLimit = 102'400;
constexpr std::size_t kBoxListLimit = 1'024'000;

// Numbers the log-ins of the process for the dialogue log; every CFtpMng counts here.
std::atomic<int> g_logIns{0};

bool breaksLine(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

template <typename... Texts>
bool anyBreaksLine(const Texts&... texts) {
    return (breaksLine(texts) || ...);
}

std::string line(std::string_view verb, std::string_view argument) {
    return std::string(verb).append(" ").append(argument).append("\r\n");
}

// A CWD on the way through the box lists: Listed to go on; the code of a refusal goes on to
// the caller, and no reply is a failed listing.
ListingResult changeDirectory(ControlChannel& control, std::string_view line) {
    const ReplyCode reply = control.SendCommand(line);
    if (reply == ReplyCode::Success) {
        return ListingResult::Listed;
    }
    return reply == ReplyCode::NoReply ? ListingResult::Failed : listingResultOf(codeOf(reply));
}

}  // namespace

CFtpMng::CFtpMng(FtpEnvironment environment)
    : m_context(environment),
      m_hooks(environment.hooks),
      m_defaultLocalDirectory(std::move(environment.defaultLocalDirectory)) {}

CFtpMng::~CFtpMng() = default;

LoginResult CFtpMng::Login(std::string_view address, std::string_view user,
                           std::string_view password, int port) {
    if (anyBreaksLine(user, password)) {
        return LoginResult::BadInput;
    }
    m_connection.reset();
    m_connection = std::make_unique<FTPCONN_INFO>();
    m_connection->logInNumber = ++g_logIns;
    if (!connect(address, port)) {
        return LoginResult::NoConnection;
    }
    ControlChannel control(*m_connection, m_context);
    const ReplyCode greeting = control.SendCommand({});
    if (greeting != ReplyCode::Success) {
        // "220 vsFTPd 3.0.3" answers, but it is not a main unit we can serve.
        return greeting == ReplyCode::OtherServer ? LoginResult::UnsupportedMainUnit
                                                  : LoginResult::NoConnection;
    }
    // "220-Zu-KA ...", "220-...", "220 ...": the lines after the first must not be taken for
    // the answer to USER.
    control.DrainControl();
    m_connection->localDirectory = m_defaultLocalDirectory;
    // PASS goes out even after "230" to USER: the main unit expects both.
    if (control.SendCommand(line("USER", user)) != ReplyCode::Success ||
        control.SendCommand(line("PASS", password)) != ReplyCode::Success) {
        return LoginResult::Refused;
    }
    return LoginResult::LoggedIn;
}

bool CFtpMng::connect(std::string_view address, int port) {
    sockaddr_in& server = m_connection->serverAddress;
    server.sin_family = AF_INET;
    const bool ownPort = port > 0 && port <= 0xffff;
    server.sin_port =
        htons(ownPort ? static_cast<std::uint16_t>(port) : SocketOps::ftpServicePort());
    const int fd = m_connection->controlSocket;
    if (fd < 0 || !SocketOps::resolveIPv4(std::string(address), server.sin_addr) ||
        !SocketOps::connectWithin(fd, server, m_context.timing.replyTimeoutMs)) {
        return false;
    }
    SocketOps::setSendTimeout(fd, m_context.timing.replyTimeoutMs);
    return true;
}

void CFtpMng::Logout() {
    if (m_connection) {
        ControlChannel(*m_connection, m_context).SendCommand("QUIT\r\n");
        m_connection.reset();
    }
    if (m_hooks) {
        m_hooks->loggedOut();
    }
}

int CFtpMng::ProbePort() {
    if (!m_connection) {
        return kSilent;
    }
    ControlChannel control(*m_connection, m_context);
    DataChannel data(*m_connection, control, m_context);
    control.DrainControl();
    if (!data.Listen()) {
        return kSilent;
    }
    std::string reply;
    control.SendLine(data.PortCommand());
    const bool answered = control.ReadReplyLine(reply, ControlChannel::kLineCapacity,
                                                m_context.timing.replyTimeoutMs) > 0;
    data.Close();  // no data connection is ever made: any reply line means the unit is there
    return answered ? kAnswered : kSilent;
}

bool CFtpMng::beginOperation(const std::filesystem::path& localFolder) {
    if (!m_connection) {
        return false;
    }
    if (m_hooks) {
        m_hooks->operationStarted();
    }
    ControlChannel(*m_connection, m_context).DrainControl();
    m_connection->localDirectory = localFolder.empty() ? m_defaultLocalDirectory : localFolder;
    return true;
}

void CFtpMng::endOperation() {
    if (m_hooks) {
        m_hooks->operationFinished();
    }
}

ListingResult CFtpMng::ListNames(std::string& text, std::string_view directory, bool namesOnly) {
    text.clear();
    if (!m_connection || breaksLine(directory)) {
        return ListingResult::Failed;
    }
    return RemoteListing(*m_connection, m_context).ListNames(text, directory, namesOnly);
}

ListingResult CFtpMng::ListLong(std::string& text, std::string_view directory, bool voiceDataOnly) {
    text.clear();
    if (!m_connection || breaksLine(directory)) {
        return ListingResult::Failed;
    }
    return RemoteListing(*m_connection, m_context).ListLong(text, directory, voiceDataOnly);
}

TransferResult CFtpMng::RetrieveFile(std::string_view remoteName, std::string_view localName) {
    if (!m_connection || anyBreaksLine(remoteName, localName)) {
        return TransferResult::Failed;
    }
    return FileTransfer(*m_connection, m_context).Retrieve(remoteName, localName);
}

// Stops at the first refusal ("550" at the root) and returns it; Success after five steps.
ReplyCode CFtpMng::walkToRoot() {
    ControlChannel control(*m_connection, m_context);
    for (int step = 0; step < kRootSteps; ++step) {
        const ReplyCode reply = control.SendCommand("CWD ../\r\n");
        if (reply != ReplyCode::Success) {
            return reply;
        }
    }
    return ReplyCode::Success;
}

ListingResult CFtpMng::GetBoxList(std::string& rootNames, std::string& extensionBoxes,
                                  std::string& answeringBoxes) {
    rootNames.clear();
    extensionBoxes.clear();
    answeringBoxes.clear();
    return RunOperation({}, [&] {
        walkToRoot();
        ControlChannel control(*m_connection, m_context);
        RemoteListing listing(*m_connection, m_context);
        ListingResult result = listing.ListHere(rootNames, kRootListLimit, 1024);
        if (result == ListingResult::Listed) {
            result = changeDirectory(control, "CWD /rusuroku\r\n");
        }
        if (result == ListingResult::Listed) {
            result = listing.ListHere(answeringBoxes, kBoxListLimit, 1024);
        }
        if (result == ListingResult::Listed) {
            result = changeDirectory(control, "CWD /naisen\r\n");
        }
        if (result == ListingResult::Listed) {
            result = listing.ListHere(extensionBoxes, kBoxListLimit, 10'240);
        }
        return result;
    });
}

int CFtpMng::CountRemoteFiles(const std::filesystem::path& localFolder,
                              std::string_view remoteDirectory) {
    if (breaksLine(remoteDirectory)) {
        return RemoteCount::kFailed;
    }
    return RunOperation(localFolder, [&] {
        std::string text;
        const ListingResult listed = ListNames(text, remoteDirectory, false);
        if (listed == ListingResult::Listed) {
            return ListingLines::Count(text);
        }
        return listed == ListingResult::NoSuchDirectory ? RemoteCount::kNoSuchDirectory
                                                        : RemoteCount::kFailed;
    });
}

FileSizeResult CFtpMng::GetRemoteFileSize(std::int64_t& size, std::string_view remoteDirectory,
                                          const std::filesystem::path& localFolder,
                                          std::string_view fileName) {
    if (anyBreaksLine(remoteDirectory, fileName)) {
        return FileSizeResult::Failed;
    }
    return RunOperation(localFolder, [&] {
        std::string text;
        const ListingResult listed = ListLong(text, remoteDirectory, true);
        if (listed != ListingResult::Listed) {
            return listed == ListingResult::NoSuchDirectory ? FileSizeResult::NoSuchDirectory
                                                            : FileSizeResult::Failed;
        }
        // Listing lines have lost their dots, so the name is looked for without its own.
        const std::string wanted = ListingLines::WithoutNameDot(fileName);
        for (const std::string& entry : ListingLines::Cut(text)) {
            if (entry.find(wanted) != std::string::npos) {
                size = ListingLines::BlockRoundedSize(ListingLines::SizeField(entry));
                return FileSizeResult::Found;
            }
        }
        return FileSizeResult::NotListed;
    });
}

TransferResult CFtpMng::DeleteRemoteFile(const std::filesystem::path& localFolder,
                                         std::string_view remotePath) {
    if (breaksLine(remotePath)) {
        return TransferResult::Failed;
    }
    return RunOperation(localFolder, [&] {
        walkToRoot();
        ControlChannel control(*m_connection, m_context);
        return transferResultOf(control.SendCommand(line("DELE", remotePath)));
    });
}

TransferResult CFtpMng::PutFile(std::string_view bytes, const std::filesystem::path& localFolder,
                                std::string_view remotePath) {
    if (breaksLine(remotePath)) {
        return TransferResult::Failed;
    }
    return RunOperation(localFolder, [&] {
        // "550" says the root is reached already; anything else leaves us lost.
        const ReplyCode root = walkToRoot();
        if (root != ReplyCode::Success && root != ReplyCode::Unavailable) {
            return TransferResult::Failed;
        }
        return FileTransfer(*m_connection, m_context).Store(bytes, remotePath);
    });
}

}  // namespace orven
