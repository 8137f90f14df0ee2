#pragma once

#include <atomic>
#include <deque>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <QTemporaryDir>

#include "app/CommandContext.h"
#include "app/SessionController.h"
#include "platform/ProfileFile.h"
#include "platform/Timing.h"
#include "platform/Ui.h"

namespace orven::test {

// Answers message boxes from a queue (`otherwise` once it is empty) and keeps their texts;
// custom boxes are closed, progress dialogs not shown.
class AnsweringUi : public Ui {
  public:
    void pump() override {}
    int messageBox(const std::string& text, const std::string&, Buttons, Icon) override {
        texts.push_back(text);
        if (answers.empty()) {
            return otherwise;
        }
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }
    int customBox(const CustomBox&) override { return CustomBox::Closed; }
    std::unique_ptr<Progress> openProgress(const std::string&, const std::string&,
                                           std::atomic<int>*) override {
        return nullptr;
    }

    std::deque<int> answers;
    int otherwise = IdOk;
    std::vector<std::string> texts;
};

// A command context without a main unit, for the dialogs of the window: the data folder
// "data/" of a temporary folder with the open store "store", an ORVEN.ini and a holding folder.
struct OfflineCommand {
    class QuietView : public SessionView {
      public:
        void setKeepAliveTimer(bool) override {}
        void setBackupTimer(bool) override {}
        void sessionChanged() override {}
    };

    OfflineCommand() {
        doc.dataFolder = (root / "data").string() + "/";
        doc.currentFolderName = "store";
    }
    std::filesystem::path data() const { return root / "data"; }

    QTemporaryDir temp;
    std::filesystem::path root = temp.path().toStdString();
    AnsweringUi ui;
    Timing timing;
    CORVENDoc doc;
    QuietView view;
    SessionController session{{ui, timing, root, 1}, doc, view};
    ProfileFile settings{root / "ORVEN.ini"};
    CommandContext context{session, doc, settings, ui, {}, root / "holding"};
};

}  // namespace orven::test
