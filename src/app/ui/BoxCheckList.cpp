#include "app/ui/BoxCheckList.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/ui/QtText.h"
#include "resources/Texts.h"

namespace orven::ui {

namespace {

constexpr int kCheckColumn = 0;
constexpr int kNumberColumn = 1;

Qt::CheckState checkState(bool checked) {
    return checked ? Qt::Checked : Qt::Unchecked;
}

}  // namespace

BoxCheckList::BoxCheckList(std::string_view title, const QString& name, QWidget* parent)
    : QGroupBox(qs(title), parent), m_list(new QTreeWidget(this)) {
    setObjectName(name + "Box");
    m_list->setObjectName(name + "List");
    m_list->setRootIsDecorated(false);
    m_list->setHeaderLabels({qs(text::kColumnChoice), qs(text::kColumnBoxNumber)});
    m_list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    auto* all = new QPushButton(qs(text::kButtonCheckAll), this);
    all->setObjectName(name + "AllButton");
    auto* none = new QPushButton(qs(text::kButtonCheckNone), this);
    none->setObjectName(name + "NoneButton");
    connect(all, &QPushButton::clicked, this, [this] { setAllChecked(true); });
    connect(none, &QPushButton::clicked, this, [this] { setAllChecked(false); });
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(all);
    buttons->addWidget(none);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addLayout(buttons);
}

void BoxCheckList::setRows(const std::vector<BoxRow>& rows) {
    m_list->clear();
    for (const BoxRow& row : rows) {
        auto* item = new QTreeWidgetItem(m_list, {QString(), qs(row.name)});
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(kCheckColumn, checkState(row.checked));
    }
}

std::vector<BoxRow> BoxCheckList::rows() const {
    std::vector<BoxRow> rows;
    for (int i = 0; i < m_list->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = m_list->topLevelItem(i);
        rows.push_back(
            {utf8(item->text(kNumberColumn)), item->checkState(kCheckColumn) == Qt::Checked});
    }
    return rows;
}

void BoxCheckList::setAllChecked(bool checked) {
    for (int i = 0; i < m_list->topLevelItemCount(); ++i) {
        m_list->topLevelItem(i)->setCheckState(kCheckColumn, checkState(checked));
    }
}

BoxCheckLists::BoxCheckLists(QWidget* parent)
    : QWidget(parent),
      m_answering(new BoxCheckList(text::kAnsweringBoxes, "answering", this)),
      m_extension(new BoxCheckList(text::kExtensionBoxes, "extension", this)) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_answering);
    layout->addWidget(m_extension);
}

void BoxCheckLists::setRows(const BoxRows& rows) {
    m_answering->setRows(rows.answering);
    m_extension->setRows(rows.extension);
}

BoxRows BoxCheckLists::rows() const {
    return {m_answering->rows(), m_extension->rows()};
}

}  // namespace orven::ui
