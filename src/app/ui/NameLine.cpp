#include "app/ui/NameLine.h"

#include <QFontMetrics>
#include <QScrollBar>

namespace orven::ui {
namespace {

QStringList pieces(const QString& paragraph, QChar delimiter) {
    QStringList result;
    qsizetype start = 0;
    for (qsizetype at = paragraph.indexOf(delimiter); at >= 0;
         at = paragraph.indexOf(delimiter, start)) {
        result << paragraph.mid(start, at + 1 - start);
        start = at + 1;
    }
    if (start < paragraph.size()) {
        result << paragraph.mid(start);
    }
    return result;
}

}  // namespace

NameLine::NameLine(QChar delimiter, const QString& objectName, QWidget* parent)
    : QPlainTextEdit(parent), m_delimiter(delimiter) {
    setObjectName(objectName);
    setReadOnly(true);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

void NameLine::setLineText(const QString& text) {
    m_text = text;
    rewrap();
}

QStringList NameLine::wrap(const QString& text, QChar delimiter,
                           const std::function<bool(const QString&)>& fits) {
    QStringList lines;
    QString paragraphText = text;
    paragraphText.remove(QChar('\r'));
    for (const QString& paragraph : paragraphText.split(QChar('\n'))) {
        QString line;
        for (const QString& piece : pieces(paragraph, delimiter)) {
            if (!line.isEmpty() && !fits(line + piece)) {
                lines << line;
                line.clear();
            }
            line += piece;
        }
        lines << line;
    }
    return lines;
}

void NameLine::resizeEvent(QResizeEvent* event) {
    QPlainTextEdit::resizeEvent(event);
    rewrap();
}

void NameLine::rewrap() {
    const QFontMetrics metrics(font());
    const int width = viewport()->width() - 2 * static_cast<int>(document()->documentMargin());
    const QStringList lines =
        m_text.isEmpty() ? QStringList{} : wrap(m_text, m_delimiter, [&](const QString& l) {
            return metrics.horizontalAdvance(l) <= width;
        });
    const QString shown = lines.join(QChar('\n'));
    if (toPlainText() != shown) {
        setPlainText(shown);
    }
    setVerticalScrollBarPolicy(lines.size() > 1 ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
}

}  // namespace orven::ui
