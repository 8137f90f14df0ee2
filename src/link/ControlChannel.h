#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "link/FTPCONN_INFO.h"
#include "link/LinkContext.h"

namespace orven {

// The control connection of one log-in: sending command lines and reading, classifying and
// throwing away reply lines. Reply lines are kept as the bytes that came (CP932). Every line
// sent and every reply line read goes to the context's dialogue log.
class ControlChannel {
  public:
    // Characters one reply line may hold, its terminator included: 510 are kept and the rest
    // of a longer line is read later as a line of its own.
    static constexpr std::size_t kLineCapacity = 511;

    ControlChannel(FTPCONN_INFO& connection, const LinkContext& context);

    // Sends the line (UTF-8, ending in CR LF; sent in CP932) and classifies one reply line:
    // 0 for a success reply, else its code; -1 when no reply line came or the line holds no
    // code. An empty line only reads (the greeting).
    int SendCommand(std::string_view line);

    // Sends the line (as SendCommand) without reading a reply. An empty line sends nothing.
    // False when the send failed.
    bool SendLine(std::string_view line);

    // One reply line without its CR LF into `line`: its length (also when the server closed
    // part way through it), or -1 when nothing was readable within the time or on an error.
    int ReadReplyLine(std::string& line, std::size_t capacity, int timeoutMs);

    // Throws away every reply line already waiting: what a multi-line reply or a cut line
    // left behind must not be taken for the answer to the next command.
    void DrainControl();

    // Sends ABOR and reads up to and including the "225" that ends it, unless the first reply
    // is already 225 or noWait is given. Always 0.
    int AbortTransfer(bool noWait);

    // The reply that ends a STOR: one line classified with the end-of-transfer success set.
    int ReadFinalReply(int timeoutMs);

    // The reply that ends a RETR: one read of whatever is there. 0 when something came, -1
    // when nothing did within its time. The code is not looked at.
    int ReadTransferEnd();

    // The first token of a reply line (cut at blanks and '-') as a number; -1 when it has
    // none.
    static int ReplyCode(std::string_view line);
    // 0 for success, else the code or -1. "220" is a success only from a supported main unit.
    static int Classify(std::string_view line);
    // As Classify, but 226 and any 220 are successes too.
    static int ClassifyFinal(std::string_view line);

  private:
    int readLine(std::string& line);
    int receiveLine(std::string& line, std::size_t capacity, int timeoutMs, bool& ended);
    void logSent(std::string_view line) const;
    void logReceived(std::string_view bytes) const;

    FTPCONN_INFO& m_connection;
    const LinkContext& m_context;
};

}  // namespace orven
