// A test fixture that runs the program's windows in a folder of their own, laid out as an
// installed program: bin/ is the working directory (the program finds "../data" and "../docs"
// from there) and holds the settings file bin/q.set; the settings dialog, made on that file, is
// deleted after the test and the old working directory comes back.
#pragma once

#include "settings/TD_settings_user.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <QDir>

#include <initializer_list>
#include <string>

class ProgramFolder : public ::testing::Test {
protected:
    TempDir tmp;

    void SetUp() override {
        Folders({"bin"});
        oldCwd_ = QDir::currentPath();
        QDir::setCurrent(tmp.qpath("bin"));
    }
    void TearDown() override {
        delete D_settings_user;
        QDir::setCurrent(oldCwd_);
    }

    void Folders(std::initializer_list<const char*> names) const {
        for (const char* name : names)
            QDir(tmp.qpath("")).mkpath(name);
    }
    QString SettingsPath() const { return tmp.qpath("bin/q.set"); }
    std::string SettingsFile() const { return tmp.read("bin/q.set"); }

    // The settings dialog on bin/q.set, as the program makes it at its start.
    TD_settings_user& NewSettings() const { return *new TD_settings_user(SettingsPath()); }
    // The same with the report to open and, unless offered, without the getting-started prompt.
    TD_settings_user& Settings(const std::string& report, bool offerGettingStarted = false) const {
        TD_settings_user& settings = NewSettings();
        settings.Store().Set("DATA_FILE_NAME", report);
        if (!offerGettingStarted)
            settings.Store().Set("SI", "NO");
        return settings;
    }

private:
    QString oldCwd_;
};
