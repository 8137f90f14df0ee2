#include <QtTest>

#include "app/NameLineText.h"
#include "app/ui/NameLine.h"

using orven::NameLineText;
using orven::ui::NameLine;

// The folder and box lines of the dialog bar: their text forms and where they may break.
class NameLinesTest : public QObject {
    Q_OBJECT

  private slots:
    void boxLineMovesExtensionBoxesToASecondLine() {
        // The stored form: answering-machine boxes, ",  ", then the extension boxes.
        QCOMPARE(
            QString::fromStdString(NameLineText::boxLine("留守録BOX：0100,0101,  内線BOX：2001")),
            QStringLiteral(" 留守録BOX：0100,0101  \r\n 内線BOX：2001"));
        QCOMPARE(QString::fromStdString(NameLineText::boxLine("内線BOX:200")),
                 QStringLiteral(" 内線BOX：200"));
        QCOMPARE(NameLineText::boxLine(""), std::string());
    }

    void folderLineJoinsAndComesBack() {
        const std::string line = NameLineText::folderLine("/mnt/d:store", "DL_1");
        QCOMPARE(QString::fromStdString(line), QStringLiteral(" /mnt/d：store/DL_1"));
        QCOMPARE(NameLineText::folderNameOf(line), std::string("DL_1"));
        QCOMPARE(NameLineText::folderLine("/data/", "DL_1/", true), std::string(" /data/DL_1"));
        QCOMPARE(NameLineText::folderLine("/data", ""), std::string());
    }

    void wrapsOnlyAfterTheDelimiter() {
        const auto fitsTen = [](const QString& line) { return line.size() <= 10; };
        QCOMPARE(NameLine::wrap(" /home/user/voice", '/', fitsTen),
                 (QStringList{" /home/", "user/voice"}));
        // A piece longer than the line is kept whole rather than cut.
        QCOMPARE(NameLine::wrap("1,22222222222,3", ',', fitsTen),
                 (QStringList{"1,", "22222222222,", "3"}));
        QCOMPARE(NameLine::wrap("a,b\r\n c", ',', fitsTen), (QStringList{"a,b", " c"}));
    }

    void scrollBarOnlyForMoreThanOneLine() {
        NameLine line('/', "folderNameLine", nullptr);
        line.resize(120, 40);
        line.show();
        line.setLineText(" /a");
        QCOMPARE(line.verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        line.setLineText(" /a-rather-long-folder/another-long-folder/and-one-more/DL_1");
        QCOMPARE(line.verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QVERIFY(line.toPlainText().split('\n').size() > 1);
        QCOMPARE(line.lineText(),
                 QStringLiteral(" /a-rather-long-folder/another-long-folder/and-one-more/DL_1"));
    }
};

QTEST_MAIN(NameLinesTest)
#include "NameLinesTest.moc"
