#pragma once

#include <string_view>
#include <vector>

#include <QGroupBox>
#include <QWidget>

#include "app/DownloadChoice.h"

class QTreeWidget;

namespace orven::ui {

// One box list of a choice dialog: a titled frame with a row per box (a check and the box
// number) and the buttons that check or clear every row. Its children are named after
// `name`: "<name>List", "<name>AllButton", "<name>NoneButton".
class BoxCheckList : public QGroupBox {
    Q_OBJECT

  public:
    BoxCheckList(std::string_view title, const QString& name, QWidget* parent = nullptr);

    void setRows(const std::vector<BoxRow>& rows);
    std::vector<BoxRow> rows() const;
    void setAllChecked(bool checked);

  private:
    QTreeWidget* m_list;
};

// The answering-machine list ("answering...") beside the extension list ("extension...").
class BoxCheckLists : public QWidget {
    Q_OBJECT

  public:
    explicit BoxCheckLists(QWidget* parent = nullptr);

    void setRows(const BoxRows& rows);
    BoxRows rows() const;

  private:
    BoxCheckList* m_answering;
    BoxCheckList* m_extension;
};

}  // namespace orven::ui
