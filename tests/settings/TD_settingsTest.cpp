#include "settings/TD_settings_user.h"
#include "settings/core/AppInfo.h"

#include "support/DialogDriver.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <QMainWindow>
#include <QPushButton>
#include <QTest>

TEST(TD_settings_user, CreatesTheFileAndWritesItWhenDestroyed) {
    TempDir dir;
    {
        TD_settings_user settings(dir.qpath("quarrylog.set"));
        EXPECT_EQ(D_settings_user, &settings);
        EXPECT_EQ(dir.read("quarrylog.set"), "\r\n<SETTINGS/>");
        EXPECT_EQ(settings.GetVersion(), AppInfo::Version);
        EXPECT_EQ(settings.GetDataFolder(), "../data");
        settings.SettingsTree().SetAttr("SI", "NO");
    }
    EXPECT_EQ(D_settings_user, nullptr);
    // The first start stored the default keywords as well.
    EXPECT_EQ(dir.read("quarrylog.set").rfind("\r\n<SETTINGS SI=\"NO\">\r\n\t<KEYWORDS>", 0), 0u);
}

TEST(TD_settings_user, OkButtonWritesTheFile) {
    TempDir dir;
    TD_settings_user settings(dir.qpath("q.set"));
    settings.SettingsTree().SetAttr("PROXYUSER", "ann");
    DialogDriver dialogs;
    dialogs.Then([](QWidget* w) { EXPECT_TRUE(DialogDriver::ClickButton(w, "Close")); });
    settings.exec();
    EXPECT_TRUE(dialogs.Done());
    EXPECT_EQ(dir.read("q.set").rfind("\r\n<SETTINGS PROXYUSER=\"ann\">", 0), 0u);
}

TEST(TD_settings_user, WindowGeometryStoredAndRestored) {
    TempDir dir;
    TD_settings_user settings(dir.qpath("q.set"));
    QMainWindow window;
    window.setGeometry(40, 50, 640, 480);
    window.show();
    window.showMaximized();
    QApplication::processEvents();
    settings.StoreWindowPos(&window);
    // A maximised window stays as it is; its normal geometry is stored.
    EXPECT_TRUE(window.isMaximized());
    EXPECT_EQ(settings.SettingsTree().GetAttr("WIDTH"), "640");
    EXPECT_EQ(settings.SettingsTree().GetAttr("HEIGHT"), "480");

    settings.SettingsTree().SetAttr("WIDTH", "700");
    settings.SettingsTree().SetAttr("HEIGHT", "oops");
    settings.SettingsTree().SetAttr("LEFT", "15");
    settings.SettingsTree().SetAttr("TOP", "25");
    QMainWindow other;
    other.resize(300, 200);
    settings.RestoreWindowPos(&other);
    EXPECT_EQ(other.width(), 700);
    EXPECT_EQ(other.height(), 200);
    EXPECT_EQ(other.x(), 15);
    EXPECT_EQ(other.y(), 25);
    EXPECT_TRUE(settings.StoreAllowed);
}
