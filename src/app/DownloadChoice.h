#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "app/CommandContext.h"
#include "link/DownloadFrontEnd.h"

namespace orven {

// A box folder offered in a choice list: its folder name (the box number) and its check.
struct BoxRow {
    std::string name;
    bool checked = false;

    bool operator==(const BoxRow&) const = default;
};

// The two lists of a box choice: answering-machine boxes and extension boxes, by name.
struct BoxRows {
    std::vector<BoxRow> answering;
    std::vector<BoxRow> extension;

    bool empty() const { return answering.empty() && extension.empty(); }
    bool anyChecked() const;
};

// What the download choice dialogs do, without a widget: which boxes they offer, the
// questions before a download, the download loops, and the per-box switches of deletion
// after download. The dialogs show the rows and pass the user's checks back.
class DownloadChoice {
  public:
    using Kind = DownloadFrontEnd::Kind;

    enum class Outcome {
        Declined,       // the user answered No; nothing ran
        NothingChosen,  // no row was checked (told)
        NoMessages,     // the main unit has no system response messages (told)
        LinkFailed,     // counting them failed: told, and the session logged out
        Ran,            // a download loop ran; it told its own result
    };

    explicit DownloadChoice(CommandContext& context) : m_context(context) {}

    // The download folder as the dialogs show it.
    std::string downloadFolder() const { return m_context.doc.storeFolder(); }

    // The box folders of the open store, by name, leaving out those the user made (no box of
    // the main unit behind them). downloadRows: none checked; autoDeleteRows: checked where
    // deletion after download is on.
    BoxRows downloadRows() const;
    BoxRows autoDeleteRows() const;
    // Tells that the store has no box folders when there are no rows; true then.
    bool tellWhenEmpty(const BoxRows& rows);

    // The question before a download into the open store; true for Yes.
    bool confirm();
    // After the question: every box folder of the store, then the system response messages.
    Outcome downloadAll(Kind kind);
    // After the question: the checked answering-machine boxes, then the checked extension
    // boxes.
    Outcome downloadChosen(Kind kind, const BoxRows& rows);
    // The system response messages, when the main unit has any; no question.
    Outcome downloadResponses();

    // After the question: every row's switch written, on when checked. False: declined.
    bool saveAutoDelete(const BoxRows& rows);
    // The switch of deletion after download of a box; kind "rusuroku" or "naisen".
    static bool autoDeleteOn(const ProfileFile& settings, std::string_view kind,
                             const std::string& box);

  private:
    BoxRows offeredRows() const;
    // Runs one loop with the worker held, and keeps what it came to for the command.
    template <typename Loop>
    Outcome run(Loop loop);

    CommandContext& m_context;
};

}  // namespace orven
