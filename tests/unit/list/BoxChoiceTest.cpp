#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "list/BoxChoice.h"
#include "list/BoxListText.h"
#include "resources/ListTexts.h"
#include "resources/Texts.h"
#include "unit/app/CommandFixture.h"

namespace orven::test {
namespace {

namespace fs = std::filesystem;
using Check = BoxChoice::Check;
using List = BoxChoice::List;
using Outcome = BoxChoice::Outcome;
using Row = BoxChoice::Row;

// Every text a window's slot can hold reads back as what was written.
TEST(BoxListText, BuildsAndReadsBackEveryForm) {
    struct Case {
        const char* name;
        BoxListText list;
        std::string text;
    };
    const std::vector<Case> cases = {
        {"both groups",
         {{"0100", "0101"}, {"2001"}, false},
         "留守録BOX：0100,0101,  内線BOX：2001"},
        {"answering only", {{"0100"}, {}, false}, "留守録BOX：0100"},
        {"extension only", {{}, {"2001", "2002"}, false}, "内線BOX：2001,2002"},
        {"comma in a name", {{"a,b"}, {"c,d", "e"}, false}, "留守録BOX：a?b,  内線BOX：c?d,e"},
        {"blank in a name", {{"box 1"}, {"2"}, false}, "留守録BOX：box 1,  内線BOX：2"},
        {"response list", {{}, {}, true}, "ｼｽﾃﾑ応答ﾒｯｾｰｼﾞ"},
        {"nothing", {}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.list.build(), c.text);
        EXPECT_EQ(BoxListText::parse(c.text), c.list);
        EXPECT_EQ(BoxListText::isResponseList(c.text), c.list.responses);
    }
}

// Forms written by hand into the settings file.
TEST(BoxListText, ReadsLooserForms) {
    struct Case {
        const char* text;
        BoxListText expected;
    };
    const std::vector<Case> cases = {
        {"留守録BOX:0100,  内線BOX:2001", {{"0100"}, {"2001"}, false}},
        {"内線BOX：2001,  留守録BOX：0100,0101,", {{"0100", "0101"}, {"2001"}, false}},
        {"留守録BOX：0100  内線BOX：2001", {{"0100"}, {"2001"}, false}},
        {"0100,0101", {}},
        {" ｼｽﾃﾑ応答ﾒｯｾｰｼﾞ", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(BoxListText::parse(c.text), c.expected);
    }
}

class BoxChoiceTest : public CommandTest {
  protected:
    BoxChoiceTest() { offline(); }

    void boxFolders(const char* kind, const std::vector<std::string>& names) {
        for (const std::string& name : names) {
            fs::create_directories(store() / kind / name);
        }
    }
    void openWindow(int slot, const char* folder, const char* boxes) {
        doc.windowFolderNames[slot] = folder;
        doc.windowBoxLists[slot] = boxes;
    }
};

TEST_F(BoxChoiceTest, BoxesShownInTheSameFolderStayFixedAndOutOfTheNewList) {
    boxFolders("rusuroku", {"0102", "0100", "0101"});
    boxFolders("naisen", {"2001"});
    openWindow(0, "store", "留守録BOX：0101");
    openWindow(1, "other", "留守録BOX：0100,  内線BOX：2001");
    BoxChoice choice(*context, 2);
    ASSERT_EQ(choice.load(), BoxChoice::Load::Ready);
    EXPECT_EQ(choice.downloadFolder(), store().string());
    EXPECT_EQ(
        choice.rows(List::Answering),
        (std::vector<Row>{{"0100", Check::Off}, {"0101", Check::Shown}, {"0102", Check::Off}}));
    EXPECT_EQ(choice.rows(List::Extension), (std::vector<Row>{{"2001", Check::Off}}));

    choice.toggle(List::Answering, 1);
    choice.setAll(List::Answering, true);
    EXPECT_EQ(choice.rows(List::Answering)[1].check, Check::Shown);
    choice.setAll(List::Answering, false);
    EXPECT_EQ(choice.rows(List::Answering)[1].check, Check::Shown);
    choice.setAll(List::Answering, true);
    choice.toggle(List::Answering, 2);
    choice.toggle(List::Extension, 0);

    ASSERT_EQ(choice.open(false), Outcome::Opened);
    EXPECT_EQ(doc.windowBoxLists[2].str(), "留守録BOX：0100,  内線BOX：2001");
    EXPECT_EQ(doc.windowFolderNames[2].str(), "store");
    EXPECT_EQ(doc.windowCount, 3);
    EXPECT_TRUE(ui.boxes().empty());
}

// A box folder name with "," goes into the slot with "?" and is found shown again.
TEST_F(BoxChoiceTest, ExtensionOnlyChoiceStartsWithItsLabelAndIsFoundShownAgain) {
    boxFolders("rusuroku", {"0100"});
    boxFolders("naisen", {"20,01"});
    BoxChoice first(*context, 0);
    ASSERT_EQ(first.load(), BoxChoice::Load::Ready);
    first.toggle(List::Extension, 0);
    ASSERT_EQ(first.open(false), Outcome::Opened);
    EXPECT_EQ(doc.windowBoxLists[0].str(), "内線BOX：20?01");

    BoxChoice second(*context, 1);
    ASSERT_EQ(second.load(), BoxChoice::Load::Ready);
    EXPECT_EQ(second.rows(List::Extension), (std::vector<Row>{{"20,01", Check::Shown}}));
    EXPECT_EQ(second.rows(List::Answering), (std::vector<Row>{{"0100", Check::Off}}));
}

TEST_F(BoxChoiceTest, ResponseListOpenAnywhereTakesTheResponseChoiceAway) {
    struct Case {
        const char* name;
        int openWindows;
        bool allowed;
    };
    openWindow(0, "store", "留守録BOX：0100");
    openWindow(1, "other", "ｼｽﾃﾑ応答ﾒｯｾｰｼﾞ");
    openWindow(2, "store", "ｼｽﾃﾑ応答ﾒｯｾｰｼﾞ");  // a closed window's slot: not counted
    for (const Case& c : {Case{"none open", 0, true}, Case{"a box list open", 1, true},
                          Case{"another folder's response list", 2, false}}) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(BoxChoice(*context, c.openWindows).responsesAllowed(), c.allowed);
    }

    boxFolders("rusuroku", {"0100"});
    BoxChoice choice(*context, 1);
    ASSERT_EQ(choice.load(), BoxChoice::Load::Ready);
    ASSERT_EQ(choice.open(true), Outcome::Opened);
    EXPECT_EQ(doc.windowBoxLists[1].str(), "ｼｽﾃﾑ応答ﾒｯｾｰｼﾞ");
    EXPECT_EQ(doc.windowFolderNames[1].str(), "store");
}

TEST_F(BoxChoiceTest, RefusalsTellWhyAndLeaveTheSlotEmpty) {
    boxFolders("rusuroku", {"0100"});
    openWindow(3, "store", "留守録BOX：0100");
    ui.expectMessage(std::string(text::kListWindowLimit), IdOk).title("エラー");
    BoxChoice full(*context, 4);
    full.load();
    full.setAll(List::Answering, true);
    EXPECT_EQ(full.open(false), Outcome::WindowLimit);
    EXPECT_EQ(doc.windowBoxLists[3].str(), "留守録BOX：0100");

    openWindow(0, "store", "old text");
    ui.expectMessage(std::string(text::kNoBoxChosen), IdOk).title("エラー");
    BoxChoice none(*context, 0);
    none.load();
    EXPECT_EQ(none.open(false), Outcome::NothingChosen);
    EXPECT_TRUE(doc.windowBoxLists[0].empty());
    EXPECT_EQ(doc.windowCount, 0);
    ui.verifyAllAnswered();
}

TEST_F(BoxChoiceTest, NoBoxFoldersOrNoFolderMeansNoDialog) {
    fs::create_directories(store() / "rusuroku");
    fs::create_directories(store() / "naisen");
    ui.expectMessage(std::string(text::kNoBoxFolders), IdOk)
        .title("エラー")
        .icon(Icon::Exclamation);
    BoxChoice empty(*context, 0);
    EXPECT_EQ(empty.load(), BoxChoice::Load::NoBoxFolders);
    EXPECT_FALSE(empty.offerChoice());
    ui.verifyAllAnswered();

    boxFolders("naisen", {"2001"});
    context->folderCheck = [] { return false; };
    BoxChoice unusable(*context, 0);
    EXPECT_EQ(unusable.load(), BoxChoice::Load::FolderUnusable);
    EXPECT_FALSE(unusable.offerChoice());
    EXPECT_TRUE(unusable.rows(List::Extension).empty());
    EXPECT_EQ(unusable.open(true), Outcome::FolderUnusable);
    EXPECT_TRUE(doc.windowBoxLists[0].empty());
}

}  // namespace
}  // namespace orven::test
