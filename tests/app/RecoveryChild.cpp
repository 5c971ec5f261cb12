// A copy of the program for the crash test: the main window with the program's start-up, its
// settings in a file of the test's choosing, which at its first activation runs the automatic
// search over the keywords given, as a user clicks it, and then waits to be killed.
//
//   recovery_child SETTINGS REPORT FEED_HOST KEYWORD...
#include "app/StartUp.h"
#include "app/TFmain.h"
#include "collect/TO_autosearch.h"
#include "filter/core/FilterFunctions.h"
#include "settings/TD_settings_user.h"
#include "settings/core/AppInfo.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <cstdio>
#include <memory>

int main(int argc, char* argv[]) {
    RegisterExpressionFunctions();
    QApplication app(argc, argv);
    QApplication::setApplicationName(AppInfo::ProductName);
    const QStringList args = QApplication::arguments();
    if (args.size() < 5) {
        std::fprintf(stderr, "usage: recovery_child SETTINGS REPORT FEED_HOST KEYWORD...\n");
        return 2;
    }
    auto* settings = new TD_settings_user(args[1]);
    settings->Store().Set("DATA_FILE_NAME", QFile::encodeName(args[2]).toStdString());
    settings->Store().Set("SI", "NO");
    settings->Store().Set("FEED_HOST", args[3].toStdString());

    auto window = std::make_unique<TFmain>();
    CreateSharedWindows();
    window->show();
    window->activateWindow();
    TFmain* w = window.get();
    QTimer::singleShot(1000, w, [w] {
        if (w->FirstActivation)
            w->FormActivate();
    });
    // Once the report is loaded: the "Auto search" page, the keywords added, Start.
    auto* poll = new QTimer(w);
    QObject::connect(poll, &QTimer::timeout, w, [w, poll, args] {
        if (w->FirstActivation)
            return;
        poll->stop();
        w->N_AutomaticmodeClick();
        w->O_autosearch1->Edit_kw->setText(args.mid(4).join(' '));
        w->O_autosearch1->SB_add->click();
        w->O_autosearch1->SB_start->click();
    });
    poll->start(20);
    return QApplication::exec();
}
