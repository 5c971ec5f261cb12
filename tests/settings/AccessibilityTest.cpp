// Every window of the settings, the wizard and the shared dialogs as keyboard and screen-reader
// users meet it, at the designed font, at a 14 pt desktop font and with a dark palette: every
// control named, Tab going round, nothing overlapping or cut. With QRL_SCREENSHOTS set, a picture
// of each is kept (run the program with QT_SCALE_FACTOR=2 for the high-density ones).
#include "dialogs/TDmsg.h"
#include "dialogs/TFsure.h"
#include "settings/TD_proxyLogin.h"
#include "settings/TD_settings_user.h"
#include "settings/TD_source_edit.h"
#include "settings/TD_source_try.h"
#include "settings/TF_about.h"
#include "settings/TF_getting_started.h"
#include "settings/TW_new_report.h"

#include "support/AccessAudit.h"
#include "support/DialogDriver.h"
#include "support/ProgramFolder.h"
#include "support/TidyLayout.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <functional>

namespace {

struct Look {
    const char* name;
    qreal points; // 0: the desktop font as it is
    bool dark;
};

QPalette DarkPalette() {
    QPalette p;
    const QColor window(0x35, 0x35, 0x35);
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::WindowText, Qt::white);
    p.setColor(QPalette::Base, QColor(0x2a, 0x2a, 0x2a));
    p.setColor(QPalette::AlternateBase, window);
    p.setColor(QPalette::Text, Qt::white);
    p.setColor(QPalette::Button, window);
    p.setColor(QPalette::ButtonText, Qt::white);
    p.setColor(QPalette::Highlight, QColor(0x2a, 0x82, 0xda));
    p.setColor(QPalette::HighlightedText, Qt::black);
    return p;
}

// The contrast of two colours as the web's accessibility guidelines define it, 1 to 21.
qreal Contrast(const QColor& a, const QColor& b) {
    const auto luminance = [](const QColor& c) {
        const auto linear = [](qreal v) {
            return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
    };
    const qreal la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// Sets the look's desktop font and palette for its lifetime.
class WithLook {
public:
    explicit WithLook(const Look& look)
        : font_(QApplication::font()), palette_(QApplication::palette()) {
        if (look.points > 0) {
            QFont f = font_;
            f.setPointSizeF(look.points);
            QApplication::setFont(f);
        }
        if (look.dark)
            QApplication::setPalette(DarkPalette());
    }
    ~WithLook() {
        QApplication::setFont(font_);
        QApplication::setPalette(palette_);
    }
    WithLook(const WithLook&) = delete;
    WithLook& operator=(const WithLook&) = delete;

private:
    QFont font_;
    QPalette palette_;
};

class WindowAudit : public ProgramFolder {
protected:
    QString look;

    // The checks of one window as it is shown, under the name of its picture.
    void Audit(QWidget* window, const QString& name) {
        SCOPED_TRACE(name.toStdString());
        QApplication::processEvents();
        const qreal ratio = window->devicePixelRatioF();
        SaveScreenshot(window, look + "-" + name + (ratio > 1 ? "-2x" : ""));
        EXPECT_EQ(UnnamedControls(window), "");
        EXPECT_EQ(LayoutFaults(window), "");
        EXPECT_EQ(TabCycleFaults(window), "");
        for (const QLabel* label : window->findChildren<QLabel*>()) {
            if (!label->isVisible())
                continue;
            // Pictures are drawn for the screen's pixels, at their logical size.
            if (!label->pixmap().isNull()) {
                EXPECT_EQ(label->pixmap().devicePixelRatio(), ratio)
                    << label->objectName().toStdString();
            }
            // Texts stand out from their background (3:1 at least, as large text needs).
            const QPalette& p = label->palette();
            if (!label->text().isEmpty() && label->foregroundRole() == QPalette::WindowText) {
                EXPECT_GE(Contrast(p.color(QPalette::WindowText), p.color(QPalette::Window)), 3.0)
                    << label->text().toStdString();
            }
        }
    }

    // A modal window, audited when it shows and then closed.
    void AuditModal(const QString& name, const std::function<void()>& run) {
        DialogDriver dialogs;
        dialogs.Then([&](QWidget* w) {
            Audit(w, name);
            w->close();
        });
        run();
        EXPECT_TRUE(dialogs.Done()) << name.toStdString();
    }

    void Show(QWidget* w) {
        w->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
    }

    void AuditWizard() {
        TW_new_report wizard;
        wizard.GoToPage(0);
        Show(&wizard);
        Audit(&wizard, "wizard-report");
        wizard.Edit_filename->setText(tmp.qpath("data/r.qrl"));
        wizard.GoToPage(1);
        Audit(&wizard, "wizard-file");
        wizard.GoToPage(2);
        // Automatic mode: the keyword part takes the keyboard as well.
        wizard.RG1Items[1]->click();
        Audit(&wizard, "wizard-search");
        wizard.LB_selected->addItem("garden");
        wizard.GoToPage(3);
        Audit(&wizard, "wizard-ready");
    }

    void AuditSettings() {
        TD_settings_user& settings = *D_settings_user;
        // With a proxy and a stored login, every field of the proxy page takes the keyboard.
        settings.CB_proxy->setChecked(true);
        settings.RB_proxy_login_save->setChecked(true);
        // The red notes in view, on every palette.
        settings.Edit_ProxyPort->setText("0");
        settings.E_tsa_url->setText("ftp://tsa.example/");
        emit settings.E_tsa_url->editingFinished();
        Show(&settings);
        const char* pages[] = {"settings-proxy", "settings-keywords", "settings-sources",
                               "settings-captures"};
        for (int i = 0; i < settings.PageControl1->count(); ++i) {
            settings.PageControl1->setCurrentIndex(i);
            settings.PageControl1->tabBar()->setFocus();
            Audit(&settings, pages[i]);
        }
        settings.hide();
    }

    void AuditSourceDialogs() {
        SearchSource source;
        source.name = "Local searx";
        source.kind = SearchSource::Searx;
        source.address = "http://127.0.0.1:8888";
        TD_source_edit edit("Edit source", source, nullptr, nullptr);
        Show(&edit);
        Audit(&edit, "source-edit");
        TD_source_try run(source, nullptr);
        Show(&run);
        run.CloseBtn->setFocus();
        Audit(&run, "source-try");
    }

    void AuditAll() {
        NewSettings();
        AuditWizard();
        AuditSettings();
        AuditSourceDialogs();
        AuditModal("proxy-login", [] { D_proxyLogin()->Execute(); });
        TF_getting_started start;
        AuditModal("getting-started", [&] { start.Execute(); });
        AuditModal("about", [] { F_about()->ShowAbout(); });
        AuditModal("question", [] { AskUser("Delete keyword\n\"hotel\"\nfrom the list?"); });
        AuditModal("notice", [] { ShowMessage("No keywords selected"); });
    }
};

} // namespace

TEST_F(WindowAudit, NamedTabbableAndTidyAtEveryLook) {
    const Look looks[] = {{"designed", 0, false}, {"14pt", 14, false}, {"dark", 0, true}};
    for (const Look& l : looks) {
        SCOPED_TRACE(l.name);
        look = l.name;
        const WithLook with(l);
        AuditAll();
        delete D_settings_user;
    }
}
