#pragma once

#include <filesystem>
#include <functional>
#include <vector>

#include "app/CommandContext.h"
#include "store/HoldingFolder.h"

namespace orven {

// Deleting a download folder from the folder dialog, either into the holding folder (it can
// be restored) or for good, and restoring held folders. Asks its questions and reports its
// failures through the context's Ui; holds the always-on download while it deletes, because
// the worker writes into the same folders.
class FolderDeletion {
  public:
    enum class Result {
        Done,
        Declined,     // the user answered No
        Unreachable,  // the folder access check failed: the dialog closes as cancelled
        Failed,  // reported to the user ("一部のファイルが削除できませんでした。" or the
                 // restore's text)
    };

    // random: for the holding suffix; tests give their own.
    explicit FolderDeletion(CommandContext& context, HoldingFolder::Random random = {});

    Result deleteTemporarily(const std::filesystem::path& folder);
    Result deletePermanently(const std::filesystem::path& folder);
    std::vector<HoldingFolder::Entry> heldFolders() const;
    // Restores the chosen folders in turn; Failed when any could not come back (the others
    // still do). A failed access check stops at once (Unreachable).
    Result restore(const std::vector<HoldingFolder::Entry>& chosen);

  private:
    // Runs the deletion with the worker held, after the access check, under the deletion
    // progress; work answers whether the folder is gone.
    Result whileHeld(const std::function<bool()>& work);

    CommandContext& m_context;
    HoldingFolder::Random m_random;
};

}  // namespace orven
