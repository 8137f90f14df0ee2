#include <QHeaderView>
#include <QImage>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QtTest>

#include "app/CommandContext.h"
#include "app/SessionController.h"
#include "app/ui/QtUi.h"
#include "list/ui/CDataListCtrl.h"
#include "list/ui/CListDispView.h"
#include "list/ui/ListCellDelegate.h"
#include "list/ui/ListHost.h"
#include "platform/CodePage.h"
#include "platform/ProfileFile.h"
#include "store/StoreNames.h"
#include "unit/list/MessageListFiles.h"

using namespace orven;
using orven::test::putMessage;
using orven::ui::CListDispView;

namespace {

namespace fs = std::filesystem;

class QuietSession : public SessionView {
  public:
    void setKeepAliveTimer(bool) override {}
    void setBackupTimer(bool) override {}
    void sessionChanged() override {}
};

// One list window with the main window's side played by the test: the flags and counts it
// is handed, and the editor requests.
struct Window {
    QTemporaryDir home;
    Timing timing;
    ui::QtUi qtUi{timing};
    CORVENDoc doc;
    QuietSession quiet;
    ProfileFile settings{home.filePath("ORVEN.ini").toStdString()};
    SessionController session{{qtUi, timing, home.path().toStdString(), 1}, doc, quiet};
    CommandContext context{session, doc, settings,
                           qtUi,    {},  home.filePath("holding").toStdString()};
    OperationFlags flags;
    int flagsWindow = 0;
    int countsChanged = 0;
    std::vector<int> edits;
    ui::ListHost host{context,
                      [this](int n, const OperationFlags& f) {
                          flagsWindow = n;
                          flags = f;
                      },
                      [] { return 42; }, [this] { ++countsChanged; },
                      [this](int n) { edits.push_back(n); }};
    std::unique_ptr<CListDispView> view;

    Window() {
        doc.dataFolder = home.filePath("data").toStdString() + "/";
        doc.windowFolderNames[0] = "DL_1";
        for (std::size_t i = 0; i < doc.columns.size(); ++i) {
            doc.columns[i].setUtf16(std::u16string(ListColumns::boxCatalogue()[i].name));
        }
        fs::create_directories(store());
    }
    fs::path store() const { return home.filePath("data/DL_1").toStdString(); }
    fs::path box(const std::string& name) const { return store() / "rusuroku" / name; }

    CListDispView& open(const std::string& boxList) {
        doc.windowBoxLists[0] = boxList;
        view = std::make_unique<CListDispView>(host, 1);
        view->resize(900, 300);
        view->show();
        return *view;
    }
    ui::CDataListCtrl& table() const { return *view->control(); }
    QAbstractItemModel& model() const { return *table().model(); }
    int section(std::u16string_view name) const {
        for (int c = 0; c < model().columnCount(); ++c) {
            if (model().headerData(c, Qt::Horizontal).toString() ==
                QString::fromStdU16String(std::u16string(name))) {
                return c;
            }
        }
        return -1;
    }
    QString cell(int row, std::u16string_view column) const {
        return model().index(row, section(column)).data().toString();
    }
    QStringList columnTexts(std::u16string_view column) const {
        QStringList texts;
        for (int row = 0; row < model().rowCount(); ++row) {
            texts << cell(row, column);
        }
        return texts;
    }
    fs::path infoOf(int row) const {
        return StoreNames::infoPath(
            CodePage::utf16ToUtf8(ListColumns::field(view->list().row(row).filePath)));
    }
    void clickHeader(std::u16string_view name) {
        QHeaderView* header = table().horizontalHeader();
        const int c = section(name);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(c) + header->sectionSize(c) / 2,
                                 header->height() / 2));
    }
    QPoint cellCentre(int row, std::u16string_view column) const {
        return table().visualRect(model().index(row, section(column))).center();
    }
};

}  // namespace

class ListViewTest : public QObject {
    Q_OBJECT

  private slots:
    void firstBuildFillsCountsTitleAndColumns() {
        Window w;
        putMessage(w.box("A,B"), {.serial = 1, .downloadState = 2});
        putMessage(w.box("A,B"), {.serial = 2, .downloadState = 1, .voice = false});
        putMessage(w.box("0102"), {.boxNumber = "0102", .serial = 3, .downloadState = 0});
        CListDispView& view = w.open("留守録BOX：A?B,0102,");
        QVERIFY(!view.boxesFailedToOpen());
        QCOMPARE(view.windowTitle(), QStringLiteral("留守録BOX：A,B,0102,"));
        QCOMPARE(
            view.countsLineText(),
            QStringLiteral("件数: ﾌｫﾙﾀﾞﾄｰﾀﾙ 42  ﾎﾞｯｸｽﾄｰﾀﾙ 3  一覧表ﾄｰﾀﾙ 3  未再生 1  再生済 1"));
        QVERIFY(w.countsChanged > 0);
        QCOMPARE(w.model().rowCount(), 3);
        QCOMPARE(w.model().columnCount(), 13);
        // Every column is at least as wide as its header and its widest text.
        const QFontMetrics metrics(w.table().font());
        for (int c = 0; c < w.model().columnCount(); ++c) {
            const QString header = w.model().headerData(c, Qt::Horizontal).toString();
            QVERIFY(w.table().columnWidth(c) > metrics.horizontalAdvance(header));
        }
        const int file = w.section(u"ファイル名");
        for (int row = 0; row < 3; ++row) {
            const QString text = w.model().index(row, file).data().toString();
            QVERIFY(w.table().columnWidth(file) > metrics.horizontalAdvance(text));
        }
        // The import picture's tooltip follows the code of the cell.
        const int imported = w.section(u"取込");
        QStringList tips;
        for (int row = 0; row < 3; ++row) {
            tips << w.model().index(row, imported).data(Qt::ToolTipRole).toString();
        }
        QVERIFY(tips.contains(QStringLiteral("録音情報のみを取込(ダウンロード)済")));
        // The not-downloaded display keeps the box total.
        QVERIFY(w.flags.voiceDownload);
        view.ShowNotDownloaded();
        QCOMPARE(w.model().rowCount(), 1);
        QVERIFY(view.countsLineText().contains(QStringLiteral("ﾎﾞｯｸｽﾄｰﾀﾙ 3  一覧表ﾄｰﾀﾙ 1")));
    }

    void missingFolderFailsToOpen() {
        Window w;
        w.doc.windowFolderNames[0] = "gone";
        w.doc.windowBoxLists[0] = "留守録BOX：0101";
        CListDispView view(w.host, 1);
        QVERIFY(view.boxesFailedToOpen());
    }

    void headerClicksSortWithArrowsExceptInResponseLists() {
        Window w;
        for (int day = 1; day <= 3; ++day) {
            putMessage(w.box("0101"), {.serial = day, .date = "2024/01/0" + std::to_string(day)});
        }
        w.open("留守録BOX：0101");
        QHeaderView* header = w.table().horizontalHeader();
        QCOMPARE(w.columnTexts(u"日時").first(), QStringLiteral("2024/01/03"));
        QVERIFY(!header->isSortIndicatorShown());
        w.table().selectRow(0);
        w.clickHeader(u"日時");
        QCOMPARE(w.columnTexts(u"日時").first(), QStringLiteral("2024/01/01"));
        // The selection moves with its row.
        QCOMPARE(w.view->selectedRows(), std::vector<int>{2});
        QVERIFY(header->isSortIndicatorShown());
        QCOMPARE(header->sortIndicatorSection(), w.section(u"日時"));
        QCOMPARE(header->sortIndicatorOrder(), Qt::AscendingOrder);
        w.clickHeader(u"日時");
        QCOMPARE(w.columnTexts(u"日時").first(), QStringLiteral("2024/01/03"));
        QCOMPARE(header->sortIndicatorOrder(), Qt::DescendingOrder);

        test::putResponse(w.store() / "outou", 2, "Two");
        test::putResponse(w.store() / "outou", 1, "One");
        w.open("ｼｽﾃﾑ応答ﾒｯｾｰｼﾞ");
        QCOMPARE(w.model().rowCount(), 300);
        w.clickHeader(u"ｼｽﾃﾑ応答ﾒｯｾｰｼﾞ名称");
        QCOMPARE(w.columnTexts(u"ｼｽﾃﾑ応答ﾒｯｾｰｼﾞ名称").mid(0, 3), (QStringList{"One", "Two", ""}));
        QVERIFY(!w.table().horizontalHeader()->isSortIndicatorShown());
    }

    void clickingAFlagCellWritesTheRecordAtOnce() {
        Window w;
        const fs::path info = putMessage(w.box("0101"), {});
        w.open("留守録BOX：0101");
        QTest::mouseClick(w.table().viewport(), Qt::LeftButton, {}, w.cellCentre(0, u"ﾌﾗｸﾞ"));
        QCOMPARE(static_cast<int>(test::readFile(info)[0]), 1);
        QCOMPARE(w.model().index(0, w.section(u"ﾌﾗｸﾞ")).data(Qt::CheckStateRole).toInt(),
                 static_cast<int>(Qt::Checked));
        QTest::mouseClick(w.table().viewport(), Qt::LeftButton, {}, w.cellCentre(0, u"ﾌﾗｸﾞ"));
        QCOMPARE(static_cast<int>(test::readFile(info)[0]), 0);
    }

    void selectionGrantsCommandsAndDoubleClickAsksForTheEditor() {
        Window w;
        putMessage(w.box("0101"), {});
        CListDispView& view = w.open("留守録BOX：0101");
        std::string path;
        QCOMPARE(view.GetSelectedMessage(path), MessageList::kNoneSelected);
        QVERIFY(!w.flags.play);
        const QPoint date = w.cellCentre(0, u"日時");
        QTest::mouseClick(w.table().viewport(), Qt::LeftButton, {}, date);
        QTest::mouseDClick(w.table().viewport(), Qt::LeftButton, {}, date);
        QCOMPARE(w.flagsWindow, 1);
        QVERIFY(w.flags.play && w.flags.remove && !w.flags.upload);
        QCOMPARE(w.edits, std::vector<int>{1});
        QCOMPARE(view.GetSelectedMessage(path), 0);
        QVERIFY(path.ends_with(".aac"));
        // Selected rows are drawn white on blue.
        const QImage image = w.table().viewport()->grab().toImage();
        const QRect cell = w.table().visualRect(w.model().index(0, w.section(u"相手番号")));
        QCOMPARE(QColor(image.pixel(cell.left() + 2, cell.center().y())),
                 ui::ListCellDelegate::selectedBackground());
    }

    void refreshKeepsSelectionAndFirstRowAndWritesNothing() {
        Window w;
        std::vector<fs::path> files;
        for (int n = 1; n <= 60; ++n) {
            char date[32];
            std::snprintf(date, sizeof date, "2024/01/01 %02d:%02d", n / 60, n % 60);
            // Bit 7 left in a file by an older program is not a selection.
            const std::uint8_t mark = n == 10 ? 0x80 : 0x00;
            files.push_back(putMessage(w.box("0101"), {.serial = n, .date = date, .mark = mark}));
        }
        CListDispView& view = w.open("留守録BOX：0101");
        QItemSelection chosen;
        for (int row : {40, 45}) {
            chosen.select(w.model().index(row, 0), w.model().index(row, 12));
        }
        w.table().selectionModel()->select(chosen, QItemSelectionModel::ClearAndSelect);
        const std::vector<fs::path> selected = {w.infoOf(40), w.infoOf(45)};
        w.table().setFirstVisibleRow(30);
        QCOMPARE(w.table().firstVisibleRow(), 30);
        putMessage(w.box("0101"), {.serial = 61, .date = "2024/01/02 00:00"});
        const test::FolderSnapshot before(w.store());

        view.refresh();
        QCOMPARE(w.model().rowCount(), 61);
        QCOMPARE(view.selectedRows(), (std::vector<int>{41, 46}));
        QCOMPARE(w.infoOf(41), selected[0]);
        QCOMPARE(w.infoOf(46), selected[1]);
        QCOMPARE(w.table().firstVisibleRow(), 30);
        QVERIFY(w.flags.remove);
        QVERIFY(test::FolderSnapshot(w.store()) == before);
    }
};

QTEST_MAIN(ListViewTest)
#include "ListViewTest.moc"
