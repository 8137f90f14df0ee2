#include "list/MessageList.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <set>

#include "list/ImportCode.h"
#include "platform/CodePage.h"
#include "store/StoreNames.h"
#include "support/ScriptedUi.h"
#include "support/TempDir.h"
#include "unit/list/MessageListFiles.h"

namespace orven {
namespace {

namespace fs = std::filesystem;
using test::putMessage;

// A scripted user whose pump can act in the middle of a build.
class PumpingUi : public test::ScriptedUi {
  public:
    void pump() override {
        ScriptedUi::pump();
        if (onPump) {
            onPump();
        }
    }
    std::function<void()> onPump;
};

std::array<FixedText<7>, CORVENDoc::kColumns> everyColumn() {
    std::array<FixedText<7>, CORVENDoc::kColumns> set;
    for (std::size_t i = 0; i < set.size(); ++i) {
        set[i].setUtf16(std::u16string(ListColumns::boxCatalogue()[i].name));
    }
    return set;
}

class MessageListTest : public ::testing::Test {
  protected:
    MessageListTest() {
        context.ui = &ui;
        fs::create_directories(store());
    }

    fs::path store() const { return dir / "data" / "DL_1"; }
    fs::path answering(const std::string& box) const { return store() / "rusuroku" / box; }

    MessageList& open(const std::string& boxList, const std::string& folder = "DL_1") {
        list = std::make_unique<MessageList>(context);
        list->setSource({(dir / "data").string(), folder, boxList});
        list->setBoxColumns(ListColumns::fromColumnSet(everyColumn()));
        return *list;
    }

    // The texts of a column, in display order.
    std::vector<std::string> column(ColumnRole role) const {
        const auto& columns = list->columns();
        const auto at = std::find_if(columns.begin(), columns.end(),
                                     [&](const ListColumn& c) { return c.role == role; });
        std::vector<std::string> texts;
        for (int row = 0; row < list->rowCount(); ++row) {
            texts.push_back(CodePage::utf16ToUtf8(
                list->cellText(row, static_cast<std::size_t>(at - columns.begin()))));
        }
        return texts;
    }
    std::string pathOf(int row) const {
        return CodePage::utf16ToUtf8(ListColumns::field(list->row(row).filePath));
    }
    int rowOf(const fs::path& info) const {
        for (int row = 0; row < list->rowCount(); ++row) {
            if (StoreNames::infoPath(pathOf(row)) == info) {
                return row;
            }
        }
        return -1;
    }

    test::TempDir dir;
    PumpingUi ui;
    StoreContext context;
    std::unique_ptr<MessageList> list;
};

TEST_F(MessageListTest, CountsLineFollowsBuildsAndTheNotDownloadedDisplay) {
    EXPECT_EQ(open("留守録BOX：0101").BuildBoxList(false), BuildResult::Built);
    EXPECT_EQ(CountsLine::boxList(list->counts()),
              "件数: ﾌｫﾙﾀﾞﾄｰﾀﾙ 0  ﾎﾞｯｸｽﾄｰﾀﾙ 0  一覧表ﾄｰﾀﾙ 0  未再生 0  再生済 0");

    const std::uint8_t states[] = {2, 2, 1, 0};
    for (int i = 0; i < 4; ++i) {
        putMessage(answering("0101"), {.serial = i, .downloadState = states[i], .voice = i != 1});
    }
    EXPECT_EQ(list->BuildBoxList(false), BuildResult::Built);
    CountsLine::Counts counts = list->counts();
    counts.folderTotal = 7;
    EXPECT_EQ(CountsLine::boxList(counts),
              "件数: ﾌｫﾙﾀﾞﾄｰﾀﾙ 7  ﾎﾞｯｸｽﾄｰﾀﾙ 4  一覧表ﾄｰﾀﾙ 4  未再生 2  再生済 1");

    list->ShowNotDownloaded();
    EXPECT_EQ(CountsLine::boxList(list->counts()),
              "件数: ﾌｫﾙﾀﾞﾄｰﾀﾙ 0  ﾎﾞｯｸｽﾄｰﾀﾙ 4  一覧表ﾄｰﾀﾙ 1  未再生 1  再生済 0");
    // Only the window's first build shows the progress dialog.
    ASSERT_EQ(ui.progresses().size(), 1u);
    EXPECT_EQ(ui.progresses()[0].title, "一覧表を開く");
    EXPECT_EQ(ui.progresses()[0].text, "一覧表を開いています。");
}

TEST_F(MessageListTest, ResponseListHasThreeHundredRowsWithGaps) {
    test::putResponse(store() / "outou", 1, "Greeting");
    test::putResponse(store() / "outou", 5, "Closed");
    EXPECT_EQ(open("ｼｽﾃﾑ応答ﾒｯｾｰｼﾞ").BuildResponseList(false), BuildResult::Built);
    ASSERT_EQ(list->rowCount(), MessageList::kResponseRows);
    const auto numbers = column(ColumnRole::MessageNumber);
    EXPECT_EQ(numbers.front(), "001");
    EXPECT_EQ(numbers.back(), "300");
    const auto names = column(ColumnRole::ResponseName);
    const auto lengths = column(ColumnRole::Length);
    const auto files = column(ColumnRole::FileName);
    EXPECT_EQ(names[0], "Greeting");
    EXPECT_EQ(files[0], "DL_1/outou/202401050930_FRI_A001_0001.aac");
    EXPECT_EQ(names[4], "Closed");
    for (int gap = 1; gap <= 3; ++gap) {
        EXPECT_EQ(lengths[gap], "--:--:--");
        EXPECT_EQ(names[gap], "");
        EXPECT_EQ(files[gap], "");
    }
    EXPECT_EQ(CountsLine::responseList(list->counts()),
              "件数: ﾌｫﾙﾀﾞﾄｰﾀﾙ 0  ｼｽﾃﾑ応答ﾒｯｾｰｼﾞﾄｰﾀﾙ 300  一覧表ﾄｰﾀﾙ 2");
    // Response lists stay in number order.
    EXPECT_FALSE(list->SortByHeader(0).has_value());
    EXPECT_EQ(column(ColumnRole::MessageNumber), numbers);
    // A gap has no file to hold a flag.
    EXPECT_FALSE(list->SetFlag(1, true));
}

TEST_F(MessageListTest, NotDownloadedDisplayListsExactlyTheRowsWithoutVoice) {
    putMessage(answering("0101"), {.serial = 1});
    const fs::path second = putMessage(answering("0101"), {.serial = 2, .voice = false});
    putMessage(answering("0102"), {.boxNumber = "0102", .serial = 3});
    const fs::path fourth =
        putMessage(answering("0102"), {.boxNumber = "0102", .serial = 4, .voice = false});
    open("留守録BOX：0101,0102,").BuildBoxList(false);
    EXPECT_TRUE(list->anyNotDownloaded());
    EXPECT_TRUE(list->UpdateCommandState({}).voiceDownload);

    list->ShowNotDownloaded();
    EXPECT_EQ(list->displayMode(), DisplayMode::NotDownloaded);
    std::set<fs::path> shown;
    for (int row = 0; row < list->rowCount(); ++row) {
        shown.insert(pathOf(row));
    }
    EXPECT_EQ(shown, (std::set<fs::path>{second, fourth}));

    // Refreshes keep the display mode, and so does the selective display of a search.
    const fs::path fifth = putMessage(answering("0101"), {.serial = 5, .voice = false});
    std::vector<int> reselected;
    list->RefreshList(true, {}, reselected);
    EXPECT_EQ(list->rowCount(), 3);
    list->BuildBoxList(false);
    list->ShowSelected([&](const FILESTS_INFO& row) {
        return StoreNames::infoPath(CodePage::utf16ToUtf8(ListColumns::field(row.filePath))) ==
               fifth;
    });
    putMessage(answering("0101"), {.serial = 6});
    list->RefreshList(true, {}, reselected);
    ASSERT_EQ(list->rowCount(), 1);
    EXPECT_EQ(pathOf(0), fifth);
    fs::remove(fifth);

    fs::remove(second);
    fs::remove(fourth);
    open("留守録BOX：0101,0102,").BuildBoxList(false);
    EXPECT_FALSE(list->anyNotDownloaded());
}

// Rows are told apart by caller name; the default order is box ascending, newest first.
TEST_F(MessageListTest, HeaderClicksSortStablyWithoutRegardToCase) {
    putMessage(
        answering("0102"),
        {.boxNumber = "0102", .serial = 1, .date = "2024/01/05 09:30", .callerName = "beta"});
    putMessage(answering("0101"), {.serial = 2, .date = "2024/01/06 10:00", .callerName = "Alpha"});
    putMessage(answering("0101"), {.serial = 3, .date = "2024/01/04 08:00", .callerName = "alpha"});
    putMessage(
        answering("0102"),
        {.boxNumber = "0102", .serial = 4, .date = "2024/01/07 12:00", .callerName = "Beta"});
    using Names = std::vector<std::string>;
    struct Case {
        std::vector<std::u16string_view> clicks;
        SortDirection last;
        Names order;
    };
    const SortDirection up = SortDirection::Ascending;
    const SortDirection down = SortDirection::Descending;
    const std::vector<Case> cases = {
        {{}, up, {"Alpha", "alpha", "Beta", "beta"}},
        {{u"日時"}, up, {"alpha", "beta", "Alpha", "Beta"}},
        {{u"日時", u"日時"}, down, {"Beta", "Alpha", "beta", "alpha"}},
        {{u"日時", u"日時", u"相手名称"}, down, {"Beta", "beta", "Alpha", "alpha"}},
        {{u"BOX番号"}, down, {"Beta", "beta", "Alpha", "alpha"}},
        {{u"BOX番号", u"BOX番号"}, up, {"Alpha", "alpha", "Beta", "beta"}},
        {{u"相手名称"}, up, {"Alpha", "alpha", "Beta", "beta"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.order));
        open("留守録BOX：0101,0102,").BuildBoxList(false);
        std::optional<SortDirection> direction;
        for (std::u16string_view name : c.clicks) {
            const auto& columns = list->columns();
            const auto at = std::find_if(columns.begin(), columns.end(),
                                         [&](const ListColumn& col) { return col.name == name; });
            direction = list->SortByHeader(static_cast<std::size_t>(at - columns.begin()));
        }
        EXPECT_EQ(direction.value_or(up), c.last);
        EXPECT_EQ(column(ColumnRole::CallerName), c.order);
        // A refresh keeps the user's sort when asked to, a plain build drops it.
        std::vector<int> reselected;
        list->RefreshList(true, {}, reselected);
        EXPECT_EQ(column(ColumnRole::CallerName), c.order);
        list->BuildBoxList(false);
        EXPECT_EQ(column(ColumnRole::CallerName), cases.front().order);
    }
}

TEST_F(MessageListTest, FlagTogglesWriteBitZeroAndKeepOnlyBitSevenWhenCleared) {
    struct Case {
        std::uint8_t stored;
        bool on;
        std::uint8_t written;
    };
    for (const Case& c : {Case{0x00, true, 0x01}, Case{0x80, true, 0x81}, Case{0x83, false, 0x80},
                          Case{0x01, false, 0x00}}) {
        SCOPED_TRACE(static_cast<int>(c.stored));
        const fs::path info = putMessage(answering("0101"), {.mark = c.stored});
        const std::string before = test::readFile(info);
        open("留守録BOX：0101").BuildBoxList(false);
        ASSERT_TRUE(list->SetFlag(0, c.on));
        std::string expected = before;
        expected[0] = static_cast<char>(c.written);
        EXPECT_EQ(test::readFile(info), expected);
        EXPECT_EQ(column(ColumnRole::Flag)[0], c.on ? " 1 " : " 0 ");
        // Written at once: a new window reads it back.
        open("留守録BOX：0101").BuildBoxList(false);
        EXPECT_EQ(column(ColumnRole::Flag)[0], c.on ? " 1 " : " 0 ");
    }
}

TEST_F(MessageListTest, RefreshKeepsTheSelectionByPathWritesNothingAndIgnoresBitSeven) {
    std::vector<fs::path> files;
    for (int serial = 1; serial <= 5; ++serial) {
        const std::string date = "2024/01/0" + std::to_string(serial) + " 09:00";
        // An older program left bit 7 in the third message to remember a selection.
        const std::uint8_t mark = serial == 3 ? 0x80 : 0x00;
        files.push_back(
            putMessage(answering("0101"), {.serial = serial, .date = date, .mark = mark}));
    }
    open("留守録BOX：0101").BuildBoxList(false);
    const std::vector<int> selected = {rowOf(files[1]), rowOf(files[3])};
    // A newer message comes in and takes the first row.
    putMessage(answering("0101"), {.serial = 6, .date = "2024/01/09 09:00"});
    const test::FolderSnapshot before(dir.path());

    std::vector<int> reselected;
    EXPECT_EQ(list->RefreshList(true, selected, reselected), BuildResult::Built);
    EXPECT_EQ(list->rowCount(), 6);
    ASSERT_EQ(reselected.size(), 2u);
    EXPECT_EQ(StoreNames::infoPath(pathOf(reselected[0])), files[3]);
    EXPECT_EQ(StoreNames::infoPath(pathOf(reselected[1])), files[1]);
    EXPECT_EQ(column(ColumnRole::Flag)[rowOf(files[2])], " 0 ");
    EXPECT_EQ(test::FolderSnapshot(dir.path()), before);
}

TEST_F(MessageListTest, BoxListsNameFoldersOfBothKindsAndCommas) {
    struct Case {
        std::string boxList;
        std::vector<fs::path> listed;
    };
    const fs::path extension = store() / "naisen" / "2001";
    const std::vector<Case> cases = {
        {"留守録BOX：0100,0101,  内線BOX：2001", {answering("0100"), answering("0101"), extension}},
        {"内線BOX：2001", {extension}},
        {"留守録BOX：A?B", {answering("A,B")}},
    };
    for (const fs::path& box :
         {answering("0100"), answering("0101"), answering("0102"), extension, answering("A,B")}) {
        putMessage(box, {});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.boxList);
        open(c.boxList).BuildBoxList(false);
        std::set<fs::path> folders;
        for (int row = 0; row < list->rowCount(); ++row) {
            folders.insert(fs::path(pathOf(row)).parent_path());
        }
        EXPECT_EQ(folders, std::set<fs::path>(c.listed.begin(), c.listed.end()));
    }
    EXPECT_EQ(column(ColumnRole::FileName)[0],
              "DL_1/rusuroku/A,B/" + test::messageStem({}) + ".aac");
}

TEST_F(MessageListTest, UnreadableStoresFailAndBuildsRefuseReentry) {
    putMessage(answering("0101"), {});
    EXPECT_EQ(open("留守録BOX：0101", "missing").BuildBoxList(false), BuildResult::Failed);
    EXPECT_EQ(list->rowCount(), 0);

    open("留守録BOX：0101");
    bool checked = false;
    ui.onPump = [&] {
        if (checked) {
            return;
        }
        checked = true;
        std::string path;
        std::vector<int> reselected;
        EXPECT_EQ(list->BuildBoxList(false), BuildResult::Busy);
        EXPECT_EQ(list->RefreshList(true, {}, reselected), BuildResult::Busy);
        EXPECT_EQ(list->GetSelectedMessage({0}, path), MessageList::kBuildRunning);
    };
    EXPECT_EQ(list->BuildBoxList(false), BuildResult::Built);
    EXPECT_TRUE(checked);
    std::string path;
    EXPECT_EQ(list->GetSelectedMessage({}, path), MessageList::kNoneSelected);
    EXPECT_EQ(list->GetSelectedMessage({0}, path), 0);
    EXPECT_EQ(path, pathOf(0));

    context.folderAccessCheck = [] { return false; };
    EXPECT_EQ(open("留守録BOX：0101").BuildBoxList(false), BuildResult::Failed);
}

TEST(ListColumns, CatalogueAndCellTexts) {
    std::array<FixedText<7>, CORVENDoc::kColumns> set;
    set[0] = "日時";
    set[1] = "不明";
    set[2] = "ﾌﾗｸﾞ";
    set[4] = "メモ";  // after the end of the set
    const auto columns = ListColumns::fromColumnSet(set);
    ASSERT_EQ(columns.size(), 2u);
    EXPECT_EQ(columns[0].role, ColumnRole::Date);
    EXPECT_EQ(columns[1].role, ColumnRole::Flag);
    EXPECT_EQ(ListColumns::roleOf(u" ファイル名 "), ColumnRole::FileName);

    struct Import {
        std::uint8_t state;
        std::u16string_view cell;
        std::string_view tooltip;
        std::string_view shortText;
    };
    for (const Import& c : {
             Import{2, u"   0   ", "録音情報+音声データ（主装置側で未再生)を取込(ダウンロード)済",
                    "情報+音声(未再生)"},
             Import{1, u"   1   ", "録音情報+音声データ（主装置側で再生済)を取込(ダウンロード)済",
                    "情報+音声(再生済)"},
             Import{0, u"   2   ", "録音情報のみを取込(ダウンロード)済", "情報のみ"},
             Import{7, u"   3   ",
                    "録音情報+音声データを取込(ダウンロード)後に主装置側のデータを消去済",
                    "主装置ﾃﾞｰﾀ消去済"},
         }) {
        FILESTS_INFO row = FILESTS_INFO::zeroed();
        row.downloadState = c.state;
        const std::u16string_view cell = ListColumns::cellText(ColumnRole::Import, row, u"");
        EXPECT_EQ(cell, c.cell);
        EXPECT_EQ(ImportCode::tooltip(ImportCode::parse(cell)), c.tooltip);
        EXPECT_EQ(ImportCode::shortText(ImportCode::parse(cell)), c.shortText);
    }

    FILESTS_INFO row = FILESTS_INFO::zeroed();
    row.played = 1;
    FILESTS_INFO::setText(row.filePath, "/d/  DL_1/rusuroku/0101/x.aac");
    EXPECT_EQ(ListColumns::cellText(ColumnRole::Played, row, u""), u"再生済");
    EXPECT_EQ(ListColumns::cellText(ColumnRole::Protect, row, u""), u"非保護");
    EXPECT_EQ(ListColumns::cellText(ColumnRole::Upload, row, u""), u"済み");
    EXPECT_EQ(ListColumns::cellText(ColumnRole::FileName, row, u"/d/"),
              u"DL_1/rusuroku/0101/x.aac");
    EXPECT_EQ(ListColumns::cellText(ColumnRole::FileName, row, u"/elsewhere/"),
              u"/d/  DL_1/rusuroku/0101/x.aac");
}

}  // namespace
}  // namespace orven
