#include "list/ui/ListViews.h"

#include <memory>

#include "app/ui/CChildFrame.h"
#include "app/ui/CMainFrame.h"
#include "app/ui/ListWindows.h"
#include "list/ui/CBoxOpenDlg.h"
#include "list/ui/CListDispView.h"
#include "list/ui/ListHost.h"

namespace orven::ui {

void ListViews::install(CMainFrame& frame) {
    auto host = std::make_shared<ListHost>(
        ListHost{frame.commandContext(),
                 [&frame](int windowNumber, const OperationFlags& flags) {
                     const CChildFrame* active = frame.listWindows().active();
                     if (active != nullptr && active->windowNumber() == windowNumber) {
                         frame.setOperationFlags(flags);
                     }
                 },
                 [&frame] {
                     frame.updateCountsLine(true);
                     return frame.folderTotal();
                 },
                 [&frame] { frame.updateCountsLine(false); },
                 {}});
    frame.listWindows().setViewFactory(
        [host](int windowNumber) { return new CListDispView(*host, windowNumber); });
    frame.setBoxOpener([host, &frame] {
        CBoxOpenDlg dialog(host->context, frame.listWindows().count(), &frame);
        return dialog.exec() == QDialog::Accepted;
    });
}

}  // namespace orven::ui
