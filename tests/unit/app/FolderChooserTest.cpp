#include "app/FolderChooser.h"

#include <fstream>

#include <gtest/gtest.h>

#include "support/FakeFileSystem.h"
#include "support/ScriptedUi.h"
#include "support/TempDir.h"

namespace orven {
namespace {

namespace fs = std::filesystem;
using test::FakeFileSystem;
using test::ScriptedUi;
using test::TempDir;

const std::string kWarning =
    "指定のフォルダは、ネットワークドライブのフォルダですが、\nよろしいですか？\n\n"
    "ネットワークドライブのフォルダを指定した場合は、ネットワーク\n"
    "環境によって、指定したフォルダが見られなくなる場合があります。\n"
    "ローカルドライブのフォルダ指定を推奨します。";
const std::string kDownloadTitle = "\nダウンロード先のフォルダを作成してください。";

// A home of the program's own in a temporary folder, with a documents folder.
struct StartFolderTest : ::testing::Test {
    StartFolderTest() { fs::create_directories(documents); }

    std::string start() const { return FolderChooser::startFolder(doc, folders); }

    TempDir home;
    fs::path documents = home / "Documents";
    // Declared before the folders, which read them.
    std::string homeText = home.path().string();
    std::string appText = (home / "orven").string();
    UserFolders folders{[this](const char* name) -> const char* {
        const std::string_view key(name);
        return key == "HOME" ? homeText.c_str() : key == "ORVEN_HOME" ? appText.c_str() : nullptr;
    }};
    CORVENDoc doc;
};

TEST_F(StartFolderTest, FallsBackFromTheOpenStoreToSaveFoldersToDocuments) {
    const fs::path save = folders.dataFolder() / "save";
    const fs::path store = home / "data" / "DL_1";
    EXPECT_EQ(start(), documents.string());

    fs::create_directories(save);
    EXPECT_EQ(start(), save.string());
    fs::create_directories(save / "VMU");
    EXPECT_EQ(start(), (save / "VMU").string());

    // A store that is named but missing does not count.
    doc.dataFolder = (home / "data").string() + "/";
    doc.currentFolderName = "DL_1";
    EXPECT_EQ(start(), (save / "VMU").string());
    fs::create_directories(store);
    EXPECT_EQ(start(), store.string());
}

TEST(FolderChooserSplit, CutsAtTheLastSlashKeepingItOnTheDataFolder) {
    const auto parts = FolderChooser::split("/home/u/voice/DL_2024");
    EXPECT_EQ(parts.dataFolder, "/home/u/voice/");
    EXPECT_EQ(parts.folderName, "DL_2024");
    EXPECT_EQ(parts.fullPath, "/home/u/voice/DL_2024");

    const auto trailing = FolderChooser::split("/home/u/voice/");
    EXPECT_EQ(trailing.dataFolder, "/home/u/");
    EXPECT_EQ(trailing.folderName, "voice");

    const auto top = FolderChooser::split("/srv");
    EXPECT_EQ(top.dataFolder, "/");
    EXPECT_EQ(top.folderName, "srv");
}

// A browser that hands out the scripted answers in order and records its calls.
struct ChooseTest : ::testing::Test {
    FolderChooser chooser() {
        return FolderChooser(files, ui, [this](const std::string& title, const std::string& start) {
            titles.push_back(title);
            starts.push_back(start);
            auto next = answers.front();
            answers.erase(answers.begin());
            return next;
        });
    }

    void expectWarning(int answer) {
        ui.expectMessage(kWarning, answer)
            .title("ドライブの確認")
            .buttons(Buttons::YesNo)
            .icon(Icon::Exclamation);
    }

    FakeFileSystem files;
    ScriptedUi ui;
    std::vector<std::optional<std::string>> answers;
    std::vector<std::string> titles;
    std::vector<std::string> starts;
    CORVENDoc doc;
};

TEST_F(ChooseTest, LocalFolderIsStoredSplitWithoutAQuestion) {
    answers = {"/data/voice/DL_1"};
    EXPECT_EQ(chooser().chooseDownloadFolder(doc, "/start"), FolderChooser::kChosen);
    EXPECT_EQ(titles, std::vector<std::string>{kDownloadTitle});
    EXPECT_EQ(starts, std::vector<std::string>{"/start"});
    EXPECT_EQ(doc.dataFolder.str(), "/data/voice/");
    EXPECT_EQ(doc.currentFolderName.str(), "DL_1");
    EXPECT_EQ(doc.chosenDownloadFolder, "/data/voice/DL_1");
    EXPECT_TRUE(ui.boxes().empty());
}

TEST_F(ChooseTest, NetworkFolderAnsweredNoReopensTheBrowserAndYesAcceptsIt) {
    files.setNetworkPath("/mnt/share");
    answers = {"/mnt/share/A", "/mnt/share/B"};
    expectWarning(IdNo);
    expectWarning(IdYes);
    EXPECT_EQ(chooser().chooseDownloadFolder(doc, "/start"), FolderChooser::kChosen);
    EXPECT_EQ(titles.size(), 2u);
    EXPECT_EQ(doc.currentFolderName.str(), "B");
    EXPECT_EQ(doc.dataFolder.str(), "/mnt/share/");
}

TEST_F(ChooseTest, CancelReturnsTwoAndLeavesTheDocumentAlone) {
    doc.dataFolder = "/old/";
    doc.currentFolderName = "DL_0";
    answers = {std::nullopt};
    EXPECT_EQ(chooser().chooseDownloadFolder(doc, "/start"), FolderChooser::kCancelled);
    EXPECT_EQ(FolderChooser::kCancelled, 2);
    EXPECT_EQ(doc.dataFolder.str(), "/old/");
    EXPECT_EQ(doc.currentFolderName.str(), "DL_0");

    // Cancelling after a refused network folder is a cancel as well.
    files.setNetworkPath("/mnt/share");
    answers = {"/mnt/share/A", std::nullopt};
    expectWarning(IdNo);
    EXPECT_EQ(chooser().chooseDownloadFolder(doc, "/start"), FolderChooser::kCancelled);
    EXPECT_EQ(doc.currentFolderName.str(), "DL_0");
}

TEST_F(ChooseTest, SaveFolderUsesItsOwnTitleAndTheSameWarning) {
    files.setNetworkPath("/mnt/share");
    answers = {"/mnt/share/wav"};
    expectWarning(IdYes);
    std::string chosen;
    EXPECT_EQ(chooser().chooseSaveFolder("/start", chosen), FolderChooser::kChosen);
    EXPECT_EQ(chosen, "/mnt/share/wav");
    EXPECT_EQ(titles, std::vector<std::string>{"\n保存するフォルダを指定してください。"});
}

TEST(FolderChooserStores, ListsOnlyDirectSubfoldersWithBothBoxKinds) {
    TempDir data;
    fs::create_directories(data / "B_store" / "rusuroku");
    fs::create_directories(data / "B_store" / "naisen");
    fs::create_directories(data / "A_store" / "x_rusuroku_y");
    fs::create_directories(data / "A_store" / "naisen2");
    fs::create_directories(data / "half" / "rusuroku");
    fs::create_directories(data / "empty");
    fs::create_directories(data / "outer" / "inner" / "rusuroku");
    fs::create_directories(data / "outer" / "inner" / "naisen");
    std::ofstream(data / "rusuroku_naisen.txt") << "x";
    EXPECT_EQ(FolderChooser::storeFolders(data.path()),
              (std::vector<std::string>{"A_store", "B_store"}));
    EXPECT_TRUE(FolderChooser::storeFolders(data / "missing").empty());
}

}  // namespace
}  // namespace orven
