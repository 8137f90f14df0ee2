#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "mainunit/DataChannel.h"
#include "mainunit/SessionHost.h"
#include "mainunit/TransferFaults.h"

namespace orven::mainunit {

class FtpSession;
class Payload;

// The commands of a session that read or change the store: listings, RETR (of a file or of a
// bundle), STOR (of a file, a request list or a response message upload), DELE and SIZE.
// Keeps what the session has asked for and been handed: the last request list stored in each
// folder, and the messages that went out in a bundle, which a wildcard DELE may be limited to.
class StoreCommands {
  public:
    explicit StoreCommands(FtpSession& session);

    void list(const std::string& argument, bool forceLong);
    void retrieve(const std::string& argument);
    void store(const std::string& argument);
    void remove(const std::string& argument);
    void size(const std::string& argument);

  private:
    struct Target {
        std::string path;  // virtual
        std::filesystem::path real;
    };
    enum class Upload { Plain, RequestList, ResponseMessage };

    std::optional<Target> target(std::string_view argument) const;
    std::optional<Target> listedFolder(std::string_view argument, std::string& pattern) const;
    std::optional<Target> storeTarget(std::string_view argument) const;
    static Upload kindOf(const std::string& path);

    void sendListing(std::string text);
    void retrieveBundle(const std::string& folder, const std::string& pattern);
    bool openData(DataChannel& channel);
    // Nothing when no data connection came about (the reply has been given).
    std::optional<DataChannel::Outcome> sendPayload(Payload& payload, const std::string& opening,
                                                    TransferFaults::Cut cut);
    std::optional<std::string> receiveFile(std::size_t limit);
    void finish(DataChannel::Outcome outcome, SessionHost::Drop cutBy);

    bool admitUpload(const std::string& name);
    void keepRequestList(const Target& target, const std::string& bytes);
    void keepResponseMessage(const Target& target, const std::string& bytes);
    void keepPlainFile(const Target& target, const std::string& bytes);

    void removeMatching(const std::string& folder, const std::string& pattern);
    void removeMessage(const std::string& stemPath);

    FtpSession& m_session;
    std::map<std::string, std::vector<std::string>> m_requests;  // "<folder>/*.<extension>"
    std::set<std::string> m_handedOut;                           // stem paths
};

}  // namespace orven::mainunit
