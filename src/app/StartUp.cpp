#include "app/StartUp.h"

#include "app/StartProbe.h"
#include "app/TFmain.h"
#include "collect/TD_url_edit.h"
#include "dialogs/TDmsg.h"
#include "dialogs/TFsure.h"
#include "filter/TFLCEdit.h"
#include "filter/TF_lr_filter_user.h"
#include "settings/TD_proxyLogin.h"
#include "settings/TF_about.h"

#include <QApplication>
#include <QTimer>

#include <memory>

void CreateSharedWindows() {
    F_about();
    Fsure();
    Dmsg();
    D_proxyLogin();
    D_url_edit();
    FLCEdit()->OpenDoc = [](const QString& topic) {
        if (Fmain)
            Fmain->OpenDoc(topic);
    };
    F_lr_filter_user();
}

int RunQuarrylog(const QString& report) {
    auto mainWindow = std::make_unique<TFmain>();
    if (StartProbeWanted())
        WatchStart(mainWindow.get());
    CreateSharedWindows();
    if (!report.isEmpty())
        mainWindow->OpenNamedReport(report);
    // The stored geometry becomes the normal one of the maximised window.
    mainWindow->RestoreGeometry();
    mainWindow->showMaximized();
    mainWindow->activateWindow();
    // Without a window manager (or with one that keeps new windows in the background) the
    // window may never become active; the report is loaded all the same.
    TFmain* window = mainWindow.get();
    QTimer::singleShot(1000, window, [window] {
        if (window->FirstActivation)
            window->FormActivate();
    });
    const int rc = QApplication::exec();
    mainWindow.reset();
    return rc;
}
