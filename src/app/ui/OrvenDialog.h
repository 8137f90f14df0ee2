#pragma once

#include <functional>
#include <string_view>

#include <QDialog>

class QAbstractButton;
class QHBoxLayout;
class QPushButton;

namespace orven::ui {

// The base of every dialog of the program.
//
// Access keys: a plain letter (or digit) presses the button whose access key it is, as Alt
// with the letter does ("はい(&Y)" answers to Y), unless the focus is in a field that takes
// typed text. Several buttons with the same key take the focus in turn instead.
//
// Title: the dialog is kept wide enough for its whole title in the title bar.
class OrvenDialog : public QDialog {
    Q_OBJECT

  public:
    explicit OrvenDialog(QWidget* parent = nullptr, Qt::WindowFlags flags = {});

    void setVisible(bool visible) override;

    // The width a title bar needs to show the title whole, icon and buttons included.
    int titleBarWidth() const;

  protected:
    void keyPressEvent(QKeyEvent* event) override;

    // A button of this dialog with its text, the object name tests find it by, and what a
    // click does.
    QPushButton* makeButton(std::string_view text, const char* objectName,
                            std::function<void()> onClick);
    // The row of "OK" (the default button, doing onOk) and "キャンセル" (reject), at the right
    // after a stretch.
    QHBoxLayout* okCancelRow(std::function<void()> onOk);

  private:
    bool pressAccessKey(int key);
    QList<QAbstractButton*> buttonsWithAccessKey(int key) const;
    void keepTitleWhole();

    int m_titleWidth = 0;  // the width the dialog was last kept to for its title
};

}  // namespace orven::ui
