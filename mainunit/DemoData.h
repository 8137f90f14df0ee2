#pragma once

#include <filesystem>

#include "platform/LocalTime.h"

namespace orven {

// Demo messages for the main unit stand-in, so the program has something to download
// without a real telephone system. Under a root folder:
//   rusuroku/<box>/, naisen/<box>/  box messages,  outou/  system response messages;
// each message is <stem>.vminf (the 256-byte header block) and <stem>.vmdat (the header
// block, the AAC length as 32-bit big-endian and the AAC bytes of a built-in voice clip).
class DemoData {
  public:
    // Fills an empty (or missing) root with answering-machine and extension boxes whose
    // messages lie in the months before `now`, and a few system response messages.
    // Returns the number of messages made, or -1 when the root holds anything already or a
    // file cannot be written.
    static int seed(const std::filesystem::path& root, const LocalTime& now);

    // Adds one unplayed message recorded at `now` to the next box in turn (the boxes taken
    // in name order, by the number of messages stored). False when there is no box or the
    // message cannot be written.
    static bool addMessage(const std::filesystem::path& root, const LocalTime& now);
};

}  // namespace orven
