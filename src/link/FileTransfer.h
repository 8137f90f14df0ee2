#pragma once

#include <string_view>

#include "link/ControlChannel.h"
#include "link/DataChannel.h"
#include "link/FTPCONN_INFO.h"
#include "link/TransferResult.h"
#include "platform/Services.h"

namespace orven {

// Moving one file over a data connection of one log-in: RETR into a local file, STOR from
// memory.
class FileTransfer {
  public:
    FileTransfer(FTPCONN_INFO& connection, const Services& context);

    // RETR of the remote name into the record's local directory, under the local name or,
    // when that is empty, the remote name. A file is made only once the main unit has
    // accepted the RETR; an existing one is replaced. Done, Cancelled (the partial file stays
    // for the caller), the code of a refused PORT or RETR, or Failed.
    TransferResult Retrieve(std::string_view remoteName, std::string_view localName);

    // STOR of the bytes under the remote path. Done, the code of a refused PORT or STOR or of
    // the reply that ends it, or Failed (also for a cancelled upload).
    TransferResult Store(std::string_view bytes, std::string_view remotePath);

  private:
    enum class Outcome { Done, Failed, Cancelled };

    Outcome copyToFile(int file);
    void abort();

    FTPCONN_INFO& m_connection;
    const Services& m_context;
    ControlChannel m_control;
    DataChannel m_data;
};

}  // namespace orven
