#pragma once

#include <functional>

namespace orven {

// The scheduled backup as the session drives it. Until they are installed no backup is ever
// due and the end question offers none.
struct BackupHooks {
    // A scheduled backup is due now.
    std::function<bool()> due{};
    // The question when one comes due during the run; true = run it. It clears
    // completionMessage when it answered itself because nobody was there.
    std::function<bool(bool& completionMessage)> ask{};
    // The question at start-up about one that came due meanwhile; true = run it.
    std::function<bool()> askOverdue{};
    // The run; true when everything was backed up. With completionMessage it tells so.
    std::function<bool(bool completionMessage)> run{};
};

}  // namespace orven
