#include <QApplication>

#include "app/ui/CORVENApp.h"
#include "list/ui/ListViews.h"
#include "platform/Timing.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    const orven::Timing timing;
    orven::ui::CORVENApp orven(orven::UserFolders(), timing);
    orven.installLists = orven::ui::ListViews::install;
    if (!orven.InitInstance()) {
        return 0;
    }
    return QApplication::exec();
}
