#include "app/ui/CDelKindSetDlg.h"

#include <string>
#include <string_view>

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/ui/QtText.h"
#include "resources/Texts.h"

namespace orven::ui {

namespace {

struct KindButton {
    std::string_view label;
    const char* name;
    DeletionKind kind;
};

constexpr KindButton kKindButtons[] = {
    {text::kDelKindMainUnit, "mainUnitButton", DeletionKind::MainUnitOnly},
    {text::kDelKindBoth, "bothButton", DeletionKind::MainUnitAndPc},
    {text::kDelKindPc, "pcButton", DeletionKind::PcOnly},
};

}  // namespace

CDelKindSetDlg::CDelKindSetDlg(Ui& ui, QWidget* parent)
    : OrvenDialog(parent), m_ui(ui), m_backupWatch(*this) {
    setObjectName("delKindSetDialog");
    setWindowTitle(qs(text::kDelKindTitle));
    auto* lead = new QLabel(qs(text::kDelKindLead), this);
    lead->setObjectName("leadLabel");
    auto* ask = new QLabel(qs(text::kDelKindAsk), this);
    ask->setObjectName("askLabel");
    auto* buttons = new QHBoxLayout;
    for (const KindButton& entry : kKindButtons) {
        buttons->addWidget(
            makeButton(entry.label, entry.name, [this, kind = entry.kind] { onKind(kind); }));
    }
    buttons->addWidget(makeButton(text::kButtonCancel, "cancelButton", [this] { reject(); }));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lead);
    layout->addWidget(ask);
    layout->addLayout(buttons);
}

// Escape, the close box and a due backup all end the dialog as its cancel button does.
void CDelKindSetDlg::reject() {
    done(static_cast<int>(DeletionKind::Cancel));
}

void CDelKindSetDlg::onKind(DeletionKind kind) {
    const int answer =
        m_ui.messageBox(std::string(text::kEraseConfirm), std::string(text::kEraseConfirmTitle),
                        Buttons::YesNo, Icon::Question);
    if (answer == IdYes) {
        done(static_cast<int>(kind));
    }
}

}  // namespace orven::ui
