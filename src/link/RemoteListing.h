#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "link/ControlChannel.h"
#include "link/DataChannel.h"
#include "link/FTPCONN_INFO.h"
#include "link/ListingResult.h"
#include "platform/Services.h"

namespace orven {

// The listings of one log-in: CWD to a directory and NLST in one of its four forms, the text
// handed back in UTF-8. A listing counts as done only when it is whole: the data connection
// ended in order, a 2xx reply followed, and it stayed below kRawLimit bytes. Anything less
// is a failure, since a message missing from a cut listing would be taken for gone.
class RemoteListing {
  public:
    static constexpr std::size_t kRawLimit = 10'240'000;

    RemoteListing(FTPCONN_INFO& connection, const Services& context);

    // "NLST *.vminf" (namesOnly) or "NLST" in the directory; the text up to its first NUL.
    // Listed (also for "550 No files", with an empty text), NoSuchDirectory, CommandFailed,
    // or Failed.
    ListingResult ListNames(std::string& text, std::string_view directory, bool namesOnly);

    // "NLST -l *.vmdat" (voiceDataOnly) or "NLST -l"; every byte received is kept. Listed
    // (empty for "550"), NoSuchDirectory, the code of a CWD or NLST refused otherwise, or
    // Failed. The cancel flag ends the transfer with ABOR; the text then holds what came and
    // the result is Failed.
    ListingResult ListLong(std::string& text, std::string_view directory, bool voiceDataOnly);

    // "NLST" of the current directory, at most characterLimit characters kept; the end
    // reply is read with endReplyCapacity. Listed (empty for "550"), the code of a refused
    // NLST, or Failed.
    ListingResult ListHere(std::string& text, std::size_t characterLimit,
                           std::size_t endReplyCapacity);

  private:
    enum class Received { End, Failed, Cancelled };

    Received receiveAll(std::string& raw, bool watchCancel);
    // Reads the reply that ends the listing and closes the data channel: Listed for a 2xx
    // reply, else Failed.
    ListingResult finish(std::size_t endReplyCapacity);

    const Services& m_context;
    ControlChannel m_control;
    DataChannel m_data;
};

}  // namespace orven
