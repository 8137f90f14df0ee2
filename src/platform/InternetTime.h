#pragma once

#include <optional>
#include <string_view>

#include "platform/LocalTime.h"

namespace orven {

// Reads the recording date that the main unit writes into a message's header block:
//
//     [weekday[,]] day month year hh:mm[:ss] [zone]      e.g. "Sun, 06 Nov 1994 08:49 +0900"
//
// Fields are separated by runs of blanks, tabs or NUL bytes (the main unit pads with NULs).
// As the Windows parser the stored files were made for, it is lenient: the weekday, the
// seconds and the zone may be missing, names ignore case, the day and the time parts may have
// one digit, and a zone cut short by the fixed-width field ("+09") is still a zone. The
// weekday written is not checked against the date.
//
// The fields come back as written: the zone is not applied, because the main unit and the
// PC keep the same local time and the date is shown as the main unit wrote it. Anything else
// (unknown names, a day the month does not have, hour above 23, minute or second above 59,
// a year outside 1601 to 9999, stray characters) gives nullopt. Only the view is read.
class InternetTime {
  public:
    static std::optional<LocalTime> parse(std::string_view text);
};

}  // namespace orven
