#include "settings/TD_settings_user.h"
#include "settings/TF_about.h"
#include "settings/TF_getting_started.h"
#include "settings/core/AppInfo.h"

#include "support/DialogDriver.h"
#include "support/TempDir.h"
#include "support/UrlCatcher.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QRadioButton>
#include <QTest>
#include <QUrl>

namespace {

class Settings {
public:
    Settings() { new TD_settings_user(tmp.qpath("q.set")); }
    ~Settings() { delete D_settings_user; }
    TempDir tmp;
};

// Runs the dialog with the item of the given index chosen by a click; gives what was opened.
QStringList choose(TF_getting_started& dialog, int item) {
    QStringList opened;
    dialog.OpenDoc = [&](const QString& topic) { opened << topic; };
    DialogDriver driver;
    driver.Then([item](QWidget* w) {
        // On the button's circle, as the caption may be shorter than the button.
        auto* button = w->findChild<QRadioButton*>(QString("RG1Item%1").arg(item));
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, button->height() / 2));
        DialogDriver::ClickButton(w, "Ok");
    });
    dialog.Execute();
    EXPECT_TRUE(driver.Done());
    return opened;
}

} // namespace

TEST(AboutBox, ShowsTheCurrentVersionAndOpensTheMakersSite) {
    Settings settings;
    UrlCatcher browser;
    TF_about* about = F_about();
    about->Label_version->setText("0.0 from an older run");
    DialogDriver driver;
    QString shown;
    QSize size;
    driver.Then([&](QWidget* w) {
        shown = about->Label_version->text();
        size = w->size();
        QTest::mouseClick(about->Label_http, Qt::LeftButton);
        QTest::mouseClick(about->Label1, Qt::LeftButton);
        DialogDriver::ClickButton(w, "Ok");
    });
    about->ShowAbout();
    EXPECT_TRUE(driver.Done());
    EXPECT_EQ(shown, AppInfo::Version);
    EXPECT_EQ(size, QSize(325, 186));
    EXPECT_EQ(about->windowTitle(), "About");
    EXPECT_EQ(about->Label2->text(), "Quarrylog");
    EXPECT_FALSE(about->Image1->pixmap().isNull());
    EXPECT_EQ(browser.opened,
              (std::vector<QUrl>{QUrl(AppInfo::MakerWebSite), QUrl(AppInfo::MakerWebSite)}));
}

TEST(GettingStarted, EachChoiceDoesItsOwnThing) {
    Settings settings;
    TF_getting_started dialog;
    EXPECT_EQ(dialog.windowTitle(), "Getting started");
    EXPECT_EQ(dialog.RG1Items[2]->text().remove('&'), "Run \"New Search Report\" wizard");

    EXPECT_EQ(choose(dialog, 0), QStringList{"intro"});
    EXPECT_FALSE(dialog.RunWizard);
    EXPECT_TRUE(choose(dialog, 1).isEmpty());
    EXPECT_FALSE(dialog.RunWizard);
    EXPECT_EQ(D_settings_user->Store().Get("SI"), "");
    EXPECT_TRUE(choose(dialog, 2).isEmpty());
    EXPECT_TRUE(dialog.RunWizard);

    // Each showing starts again from the first item and no wizard.
    EXPECT_EQ(choose(dialog, 0), QStringList{"intro"});
    EXPECT_FALSE(dialog.RunWizard);

    EXPECT_TRUE(choose(dialog, 3).isEmpty());
    EXPECT_EQ(D_settings_user->Store().Get("SI"), "NO");
}

TEST(GettingStarted, OnlyNoInCapitalsSwitchesItOff) {
    Settings settings;
    TF_getting_started dialog;
    D_settings_user->Store().Set("SI", "NO");
    {
        DialogDriver driver;
        dialog.Execute();
        EXPECT_TRUE(driver.Done()); // nothing was shown
    }
    D_settings_user->Store().Set("SI", "no");
    {
        DialogDriver driver;
        driver.Escape(); // the close box changes nothing
        dialog.Execute();
        EXPECT_TRUE(driver.Done());
        EXPECT_FALSE(dialog.RunWizard);
        EXPECT_EQ(D_settings_user->Store().Get("SI"), "no");
    }
}
