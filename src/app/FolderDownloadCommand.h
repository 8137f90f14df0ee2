#pragma once

#include <filesystem>

#include "app/CommandContext.h"
#include "platform/Ui.h"

namespace orven {

// The folder download as the folder dialogs run it: the question, the always-on download
// held, the box folder tree built from the main unit's box lists, and the result texts.
class FolderDownloadCommand {
  public:
    enum class Result {
        Declined,     // the user answered No
        Done,         // the tree was built (completion text shown)
        Cancelled,    // the user cancelled: what this run made is taken back
        ListFailed,   // the box lists could not be read ("通信エラーが発生しました。")
        Unreachable,  // the folder is not reachable or could not be made
    };

    explicit FolderDownloadCommand(CommandContext& context) : m_context(context) {}

    // The folder dialog's: asks "%sにダウンロードします。..." and shows the progress.
    Result run(const std::filesystem::path& folder);
    // The wizard's folder page: asks by what the folder holds already and shows no progress;
    // the completion text is the wizard's own.
    Result runForWizard(const std::filesystem::path& folder);

  private:
    // The download itself; progress may be null.
    Result download(const std::filesystem::path& folder, Progress* progress);
    // The text of a result, once any progress dialog is closed.
    void tell(Result result, bool withCompletion);

    CommandContext& m_context;
    bool m_accessRefused = false;  // the last download stopped at the folder access check
};

}  // namespace orven
