#pragma once

#include <functional>
#include <utility>

#include "app/CommandContext.h"

namespace orven {

// The frame of the bulk and the selective download and of the wizard's download step: the
// folder check, the worker held, the dialog that runs the download, and the end of a
// completed download: the recount, and either the offer to move a store of more than
// 20 000 messages into a new dated folder, or the completion text.
class DownloadCommand {
  public:
    static constexpr int kRollOverThreshold = 20000;

    enum class Outcome {
        NotRun,           // the folder check failed
        DialogClosed,     // the dialog ended without a completed download
        Completed,        // completion text shown
        MovedToDlFolder,  // the user took the offer and the messages were moved
        KeptInPlace,      // the user declined the offer
        MoveFailed,       // the offer was taken but the move failed (reported)
    };

    struct Hooks {
        // Recounts the messages of the open store and returns the folder total.
        std::function<int()> recount;
        // Reads every list window again (after the messages moved).
        std::function<void()> refreshLists;
    };

    DownloadCommand(CommandContext& context, Hooks hooks)
        : m_context(context), m_hooks(std::move(hooks)) {}

    // dialog: runs the download dialog; true when it ended with OK. completionInCustomBox:
    // the wizard tells the completion with the custom box and its "完了" button.
    Outcome run(const std::function<bool()>& dialog, bool completionInCustomBox = false);

  private:
    // The folder total from the hook; 0 without one.
    int recount();
    Outcome offerRollOver();
    Outcome finishCompleted(bool completionInCustomBox);

    CommandContext& m_context;
    Hooks m_hooks;
};

}  // namespace orven
