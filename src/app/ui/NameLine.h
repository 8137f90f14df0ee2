#pragma once

#include <functional>

#include <QPlainTextEdit>

namespace orven::ui {

// A read-only name line of the dialog bar that wraps only just after its delimiter ("/" for
// folders, "," for box lists), so a folder or a box number is never cut in two. A vertical
// scroll bar shows only while the text takes more than one line.
class NameLine : public QPlainTextEdit {
    Q_OBJECT

  public:
    NameLine(QChar delimiter, const QString& objectName, QWidget* parent);

    void setLineText(const QString& text);
    QString lineText() const { return m_text; }

    // The lines the text breaks into: pieces end just after the delimiter or at a line break
    // of the text itself, and are joined while `fits` accepts the joined line.
    static QStringList wrap(const QString& text, QChar delimiter,
                            const std::function<bool(const QString&)>& fits);

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void rewrap();

    QChar m_delimiter;
    QString m_text;
};

}  // namespace orven::ui
