#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "link/FTPCONN_INFO.h"
#include "link/ReplyCode.h"
#include "platform/Services.h"

namespace orven {

// The control connection of one log-in: sending command lines and reading, classifying and
// throwing away reply lines. Reply lines are kept as the bytes that came (CP932). Every line
// sent and every reply line read goes to the context's dialogue log.
class ControlChannel {
  public:
    // Characters one reply line may hold, its terminator included: 510 are kept and the rest
    // of a longer line is read later as a line of its own.
    static constexpr std::size_t kLineCapacity = 511;
    // ReadReplyLine: nothing was readable within the time, or the read failed.
    static constexpr int kNoLine = -1;
    // CodeOf: the line holds no code.
    static constexpr int kNoCode = -1;

    ControlChannel(FTPCONN_INFO& connection, const Services& context);

    // Sends the line (UTF-8, ending in CR LF; sent in CP932) and classifies one reply line.
    // An empty line only reads (the greeting).
    ReplyCode SendCommand(std::string_view line);

    // Sends the line (as SendCommand) without reading a reply. An empty line sends nothing.
    // False when the send failed.
    bool SendLine(std::string_view line);

    // One reply line without its CR LF into `line`: its length (also when the server closed
    // part way through it), or kNoLine.
    int ReadReplyLine(std::string& line, std::size_t capacity, int timeoutMs);

    // Throws away every reply line already waiting: what a multi-line reply or a cut line
    // left behind must not be taken for the answer to the next command.
    void DrainControl();

    // Sends ABOR and reads up to and including the "225" that ends it, unless the first reply
    // is already 225 or noWait is given.
    void AbortTransfer(bool noWait);

    // The reply that ends a STOR: one line classified with the end-of-transfer success set.
    ReplyCode ReadFinalReply(int timeoutMs);

    // The reply that ends a RETR: one read of whatever is there. False when nothing came
    // within its time. The code is not looked at.
    bool ReadTransferEnd();

    // The first token of a reply line (cut at blanks and '-') as a number; kNoCode when it
    // has none.
    static int CodeOf(std::string_view line);
    // "220" is a success only from a supported main unit.
    static ReplyCode Classify(std::string_view line);
    // As Classify, but 226 and any 220 are successes too.
    static ReplyCode ClassifyFinal(std::string_view line);

  private:
    int readLine(std::string& line);
    int receiveLine(std::string& line, std::size_t capacity, int timeoutMs, bool& ended);
    void logSent(std::string_view line) const;
    void logReceived(std::string_view bytes) const;

    FTPCONN_INFO& m_connection;
    const Services& m_context;
};

}  // namespace orven
