#include "support/ScriptedUi.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

namespace orven::test {
namespace {

TEST(ScriptedUi, AnswersExpectedBoxesInOrderAndRecordsThem) {
    ScriptedUi ui;
    ui.expectMessage("保存しますか？", IdNo)
        .title("確認")
        .icon(Icon::Question)
        .buttons(Buttons::YesNo);
    ui.expectCustom("次のメッセージへ", CustomBox::Second).buttonSet(3);
    ui.expectMessage("保存しますか？", IdYes);

    EXPECT_EQ(ui.messageBox("保存しますか？", "確認", Buttons::YesNo, Icon::Question), IdNo);
    EXPECT_EQ(ui.customBox({"再生", "次のメッセージへ", Icon::Information, 3, false}),
              CustomBox::Second);
    EXPECT_EQ(ui.messageBox("保存しますか？", "確認", Buttons::YesNo, Icon::Question), IdYes);
    ui.verifyAllAnswered();

    ASSERT_EQ(ui.boxes().size(), 3u);
    const ShownBox& custom = ui.boxes()[1];
    EXPECT_EQ(custom.kind, BoxKind::Custom);
    EXPECT_EQ(custom.title, "再生");
    EXPECT_FALSE(custom.closable);
    EXPECT_EQ(ui.boxes()[2].answer, IdYes);
}

TEST(ScriptedUi, ReportsBoxesThatDoNotMatch) {
    ScriptedUi ui;
    int answer = 0;
    EXPECT_NONFATAL_FAILURE(answer = ui.messageBox("surprise", "", Buttons::Ok, Icon::None),
                            "unexpected message box: \"surprise\"");
    EXPECT_EQ(answer, IdCancel);

    ui.expectMessage("right", IdOk);
    EXPECT_NONFATAL_FAILURE(answer = ui.messageBox("wrong", "", Buttons::Ok, Icon::None),
                            "expected message box \"right\" but shown message box \"wrong\"");
    EXPECT_EQ(answer, IdCancel);

    ui.expectMessage("same", IdOk);
    EXPECT_NONFATAL_FAILURE(answer = ui.customBox({"", "same", Icon::None, 0, true}),
                            "but shown custom box");
    EXPECT_EQ(answer, CustomBox::Closed);

    ui.expectMessage("titled", IdRetry).title("Right");
    EXPECT_NONFATAL_FAILURE(
        answer = ui.messageBox("titled", "Wrong", Buttons::RetryCancel, Icon::Error),
        "expected title \"Right\" but shown \"Wrong\"");
    EXPECT_EQ(answer, IdRetry);  // the text matched, so the box is still answered

    EXPECT_NONFATAL_FAILURE(
        {
            ScriptedUi unused;
            unused.expectCustom("never", CustomBox::First);
        },
        "never shown: \"never\"");
}

TEST(ScriptedUi, CancelsTheChosenProgressDialogAtAPercent) {
    ScriptedUi ui;
    std::atomic<int> cancel{0};
    ui.cancelProgressAtPercent(50, 1);
    ui.openProgress("first", "", &cancel)->setPercent(80);
    EXPECT_EQ(cancel.load(), 0);

    auto progress = ui.openProgress("Copy", "copying", &cancel);
    progress->setPercent(-5);
    progress->setPercent(40);
    EXPECT_EQ(cancel.load(), 0);
    progress->setPercent(170);
    EXPECT_EQ(cancel.load(), 1);
    progress->setCounter(3, 10);

    const ProgressRecord& record = ui.progresses()[1];
    EXPECT_EQ(record.percents, (std::vector<int>{0, 40, 100}));
    EXPECT_TRUE(record.cancelled);
    EXPECT_FALSE(record.closed);
    progress->close();
    EXPECT_TRUE(record.closed);
    EXPECT_TRUE(ui.progresses()[0].closed);
}

TEST(ScriptedUi, CancelsAfterPercentCallsOnlyWhereThereIsACancelButton) {
    ScriptedUi ui;
    ui.cancelProgressAfterPercentCalls(2);
    auto plain = ui.openProgress("plain", "", nullptr);
    plain->setPercent(1);
    plain->setPercent(2);
    std::atomic<int> cancel{0};
    auto cancellable = ui.openProgress("cancellable", "", &cancel);
    cancellable->setPercent(1);
    EXPECT_EQ(cancel.load(), 0);
    cancellable->setPercent(1);
    EXPECT_EQ(cancel.load(), 1);

    ui.cancelProgressAtPercent(10, 2);
    EXPECT_NONFATAL_FAILURE(ui.openProgress("no button", "", nullptr), "has no Cancel button");
    ui.pump();
    ui.pump();
    EXPECT_EQ(ui.pumpCount(), 2);
}

}  // namespace
}  // namespace orven::test
