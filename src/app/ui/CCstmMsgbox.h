#pragma once

#include <string_view>

#include "app/ui/OrvenDialog.h"
#include "platform/Ui.h"

class QPushButton;

namespace orven::ui {

// The program's own message box: up to three buttons whose texts the platform box cannot
// show. exec() returns the chosen button's CustomBox::Result, or CustomBox::Closed when a
// closable box was closed. A box that is not closable has no close button and ignores Esc.
class CCstmMsgbox : public OrvenDialog {
    Q_OBJECT

  public:
    explicit CCstmMsgbox(const CustomBox& box, QWidget* parent = nullptr);

    void reject() override;

  private:
    QPushButton* addButton(std::string_view text, CustomBox::Result result, const char* name);

    bool m_closable;
};

}  // namespace orven::ui
