#pragma once

#include <string_view>

namespace orven {

// Where a backup job notes the state of a month it could not finish. The scheduled backup's
// record file implements it; the link only knows this much of it.
class BackupRecordWriter {
  public:
    enum class Entry { Boxes, SystemMessages };

    virtual ~BackupRecordWriter() = default;
    // month: "YYYYMM". False when the record could not be written.
    virtual bool writeIncomplete(std::string_view month, Entry entry) = 0;
};

}  // namespace orven
