#pragma once

#include <string>
#include <vector>

#include "app/CommandContext.h"
#include "list/BoxListText.h"

namespace orven {

// What the box open dialog does, without a widget: it offers the box folders of the current
// download folder in two lists, keeps each row's check, and on "開く" writes the next free
// list-window slot of the document record. The dialog shows the rows and forwards clicks.
class BoxChoice {
  public:
    // A row's check, with the numbers the list keeps as the text of its first column.
    enum class Check {
        Off = 0,    // not chosen
        On = 1,     // chosen
        Shown = 2,  // shown already by an open window of the same download folder; fixed
    };

    struct Row {
        std::string name;  // the box folder name (the box number)
        Check check = Check::Off;

        bool operator==(const Row&) const = default;
    };

    enum class List { Answering, Extension };

    enum class Load {
        Ready,           // at least one box folder to offer
        NoBoxFolders,    // neither kind folder has a subfolder
        FolderUnusable,  // the folder access check failed; nothing listed
    };

    enum class Outcome {
        Opened,          // the slot is written; the caller opens the window
        WindowLimit,     // four list windows are open already (told)
        FolderUnusable,  // the folder access check failed
        NothingChosen,   // no box row is chosen (told)
    };

    // openWindows: the list windows open now; their slots are the first ones of the document.
    BoxChoice(CommandContext& context, int openWindows);

    // Lists the box folders, sorted by name, and marks those already shown.
    Load load();
    // After load: whether the dialog is worth showing. Tells when there are no box folders.
    bool offerChoice();

    // The current download folder: data folder and current folder name.
    std::string downloadFolder() const;
    const std::vector<Row>& rows(List list) const;
    // Only when no open window of any download folder shows the system response messages.
    bool responsesAllowed() const;

    // Off <-> On; a Shown row stays as it is.
    void toggle(List list, int row);
    // Every row On (or Off), except Shown rows.
    void setAll(List list, bool on);

    // Writes the next slot: the response list, or the chosen boxes in list order.
    Outcome open(bool responses);

  private:
    std::vector<Row>& rowsOf(List list);
    BoxListText shownBoxes() const;
    BoxListText chosenBoxes() const;

    CommandContext& m_context;
    int m_openWindows;
    Load m_load = Load::NoBoxFolders;
    std::vector<Row> m_answering;
    std::vector<Row> m_extension;
};

}  // namespace orven
