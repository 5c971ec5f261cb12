// The program's main window in a folder of its own (see ProgramFolder), started as the program
// starts it: the settings dialog on bin/q.set names the report (data/r.qrl unless a test says
// otherwise) and the getting-started prompt is off; the window is shown and waited for until
// its first activation has loaded the report.
#pragma once

#include "app/TFmain.h"

#include "ProgramFolder.h"
#include "WaitUntil.h"

#include <QCoreApplication>
#include <QLabel>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include <functional>
#include <memory>
#include <string>

class MainWindowHarness : public ProgramFolder {
protected:
    std::unique_ptr<TFmain> window;

    void SetUp() override {
        ProgramFolder::SetUp();
        Folders({"data"});
    }
    void TearDown() override {
        window.reset();
        ProgramFolder::TearDown();
    }

    // The embedded browser keeps its profile in this run's own user folders.
    static void BrowserProfileInTemp() {
        static TempDir user;
        qputenv("XDG_DATA_HOME", QFile::encodeName(user.qpath("")) + "/data");
        qputenv("XDG_CACHE_HOME", QFile::encodeName(user.qpath("")) + "/cache");
    }

    std::string ReportPath(const std::string& name = "r.qrl") const {
        return tmp.path("data/" + name);
    }

    // Makes the window on the settings made before (first acts on it when asked), shows it and
    // waits until it is on screen and its first activation is over.
    void ShowWindow(const std::function<void(TFmain&)>& beforeShow = {}) {
        window = std::make_unique<TFmain>();
        if (beforeShow)
            beforeShow(*window);
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        ASSERT_TRUE(WaitUntil([this] { return !window->FirstActivation; }));
        QCoreApplication::processEvents();
    }
    // Starts the window on the report given (data/r.qrl when none is).
    void StartWindow(const std::string& report = {}) {
        Settings(report.empty() ? ReportPath() : report);
        ShowWindow();
    }
    // Starts the window on data/r.qrl holding text.
    void StartOn(const std::string& text) {
        tmp.write("data/r.qrl", text);
        StartWindow();
    }
    // Ends this run of the program (its settings are written) and starts it again.
    void Restart(const std::function<void(TFmain&)>& beforeShow = {}) {
        window.reset();
        ASSERT_EQ(D_settings_user, nullptr);
        NewSettings();
        ShowWindow(beforeShow);
    }

    QString Status(int panel) const { return window->StatusPanel[panel]->text(); }
    void ClickTab(const QString& caption) const {
        QTabBar* bar = window->PageControl1->tabBar();
        for (int i = 0; i < bar->count(); ++i)
            if (bar->tabText(i) == caption)
                QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(i).center());
    }
};
