#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "list/CommandState.h"
#include "list/CountsLine.h"

namespace orven {
namespace {

TEST(CountsLine, BothFormsWriteLargeNumbersAsPluses) {
    const CountsLine::Counts counts{100000, 99999, 2, 1, 0};
    EXPECT_EQ(CountsLine::boxList(counts),
              "件数: ﾌｫﾙﾀﾞﾄｰﾀﾙ +++++  ﾎﾞｯｸｽﾄｰﾀﾙ 99999  一覧表ﾄｰﾀﾙ 2  未再生 1  再生済 0");
    EXPECT_EQ(CountsLine::responseList({0, 0, 2, 0, 0}),
              "件数: ﾌｫﾙﾀﾞﾄｰﾀﾙ 0  ｼｽﾃﾑ応答ﾒｯｾｰｼﾞﾄｰﾀﾙ 300  一覧表ﾄｰﾀﾙ 2");
}

// Which message commands a selection allows.
TEST(CommandState, SelectionGrantsTheCommandsOfItsRows) {
    const std::string voice = "/d/s/rusuroku/1/a.aac";
    const std::string info = "/d/s/rusuroku/1/b.vminf";
    struct Case {
        const char* name;
        CommandState::Selection selection;
        OperationFlags expected;  // save, voice download, play, move, add, remove, upload
    };
    const std::vector<Case> cases = {
        {"nothing selected", {false, {}, false, false}, {}},
        {"one with voice",
         {false, {voice}, false, false},
         {true, false, true, true, false, true, false}},
        {"one without voice in a box list",
         {false, {info}, false, true},
         {false, true, false, false, false, true, false}},
        {"two in a box list",
         {false, {info, voice}, false, false},
         {true, false, false, true, false, true, false}},
        {"empty response slot",
         {true, {""}, false, false},
         {false, false, false, false, true, false, false}},
        {"two response slots, one a message",
         {true, {voice, ""}, true, false},
         {true, false, false, false, false, true, true}},
        {"two empty response slots", {true, {"", ""}, false, false}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const OperationFlags got = CommandState::UpdateCommandState(c.selection);
        const OperationFlags& want = c.expected;
        EXPECT_EQ(got.saveToFolder, want.saveToFolder);
        EXPECT_EQ(got.voiceDownload, want.voiceDownload);
        EXPECT_EQ(got.play, want.play);
        EXPECT_EQ(got.moveCopy, want.moveCopy);
        EXPECT_EQ(got.add, want.add);
        EXPECT_EQ(got.remove, want.remove);
        EXPECT_EQ(got.upload, want.upload);
    }
}

}  // namespace
}  // namespace orven
