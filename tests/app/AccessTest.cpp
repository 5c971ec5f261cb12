// The main window and the collection dialogs as keyboard and screen-reader users meet them, at
// the designed font, with a 14 pt font and with a dark palette (run the program with
// QT_SCALE_FACTOR=2 for twice the scale): every control named, Tab going round, nothing
// overlapping or cut, the words of the "Search feed" picture readable. With QRL_SCREENSHOTS set,
// every page and dialog is kept as a picture of each look.
#include "app/TFmain.h"
#include "collect/TD_capture_run.h"
#include "collect/TD_captures.h"
#include "collect/TD_duplicates.h"
#include "collect/TD_link_check.h"
#include "collect/TD_url_edit.h"
#include "collect/TD_visited.h"
#include "collect/TO_WB.h"
#include "collect/TO_autosearch.h"
#include "collect/TO_results.h"

#include "support/AccessAudit.h"
#include "support/MainWindowHarness.h"
#include "support/SampleReports.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QStyleOptionViewItem>
#include <QTabWidget>
#include <QTableView>
#include <QWebEngineView>

#include <cmath>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace {

// How the desktop may look: its font and its palette.
struct Look {
    const char* name;
    qreal points; // 0: the program's font as it is
    bool dark;
};

QPalette DarkPalette() {
    // The shades of the frames (light, mid, dark, shadow) made from the button colour.
    const QColor window(0x35, 0x35, 0x35);
    QPalette p(window, window);
    p.setColor(QPalette::Base, QColor(0x2a, 0x2a, 0x2a));
    p.setColor(QPalette::AlternateBase, window);
    for (QPalette::ColorRole role :
         {QPalette::WindowText, QPalette::Text, QPalette::ButtonText, QPalette::BrightText,
          QPalette::HighlightedText, QPalette::ToolTipText})
        p.setColor(role, Qt::white);
    p.setColor(QPalette::Highlight, QColor(0x2a, 0x82, 0xda));
    p.setColor(QPalette::ToolTipBase, window);
    p.setColor(QPalette::PlaceholderText, QColor(0xa0, 0xa0, 0xa0));
    p.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x80, 0x80, 0x80));
    p.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x80, 0x80, 0x80));
    p.setColor(QPalette::Disabled, QPalette::Text, QColor(0x80, 0x80, 0x80));
    return p;
}

// Puts a look on the whole program for as long as it lives.
class LookScope {
public:
    explicit LookScope(const Look& look)
        : font_(QApplication::font()), palette_(QApplication::palette()) {
        if (look.points > 0) {
            QFont big = font_;
            big.setPointSizeF(look.points);
            QApplication::setFont(big);
        }
        if (look.dark)
            QApplication::setPalette(DarkPalette());
        QCoreApplication::processEvents();
    }
    ~LookScope() {
        QApplication::setFont(font_);
        QApplication::setPalette(palette_);
        QCoreApplication::processEvents();
    }
    LookScope(const LookScope&) = delete;
    LookScope& operator=(const LookScope&) = delete;

private:
    QFont font_;
    QPalette palette_;
};

// The relative luminance of a colour, and the contrast of two, as the WCAG define them.
qreal Luminance(const QColor& c) {
    const auto channel = [](qreal v) {
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}
qreal Contrast(const QColor& a, const QColor& b) {
    const qreal la = Luminance(a);
    const qreal lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The best contrast to background of the opaque ink in the part of a picture right of left
// (a fraction of its width): how well its words stand out.
qreal InkContrast(const QPixmap& picture, qreal left, const QColor& background) {
    const QImage image = picture.toImage().convertToFormat(QImage::Format_ARGB32);
    qreal best = 1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = int(image.width() * left); x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.alpha() == 255)
                best = std::max(best, Contrast(c, background));
        }
    return best;
}

// The name of a picture of a window in a look, at the screen's scale.
QString ShotName(const Look& look, const QString& what) {
    return QString("%1-%2-x%3").arg(what, look.name).arg(qApp->devicePixelRatio());
}

class Access : public MainWindowHarness {
protected:
    void SetUp() override {
        MainWindowHarness::SetUp();
        BrowserProfileInTemp();
    }

    // The audit of a shown window whose focus is where it starts. The web page shown on the
    // manual search page is named by the page itself: the browser engine hands its title and
    // content to a screen reader (only while one listens), the widget that shows it has none.
    static void Audit(QWidget* window, QWidget* layoutRoot) {
        QStringList unnamed = QString::fromStdString(UnnamedControls(window)).split('\n');
        unnamed.removeAll("QQuickWidget (QQuickWidget) has no accessible name");
        EXPECT_EQ(unnamed.join('\n').trimmed().toStdString(), "");
        EXPECT_EQ(TabCycleFaults(window), "");
        EXPECT_EQ(LayoutFaults(layoutRoot), "");
    }
};

// The dialogs of the collection, each made as it is shown to the user.
std::vector<std::pair<QString, std::function<QDialog*()>>> Dialogs() {
    CaptureEntry entry;
    entry.time = QDateTime(QDate(2026, 12, 1), QTime(9, 0), Qt::UTC);
    entry.file = "000001.mhtml";
    entry.askedUrl = entry.recordUrl = "http://a.example/";
    return {
        {"url-editor", [] { return new TD_url_edit(); }},
        {"link-check", [] { return new TD_link_check({}); }},
        {"capture-run", [] { return new TD_capture_run(); }},
        {"duplicates", [] { return new TD_duplicates(); }},
        {"visited", [] { return new TD_visited(); }},
        {"capture-details",
         [entry] { return new TD_capture_details("http://a.example/", {entry}, {true}, {}); }},
        {"verify-captures",
         [entry] {
             return new TD_capture_verify({{entry, CaptureState::Intact}}, "1 capture is intact.");
         }},
    };
}

} // namespace

TEST_F(Access, PagesAndDialogsAreNamedTabbedAndTidyInEveryLook) {
    StartOn(ReportText()
                .Description("Tools for the garden")
                .Record("http://a.example/", "A", "first")
                .Checked()
                .Record("http://b.example/", "B", "second")
                .Text());
    window->O_autosearch1->LB_selected->addItem("garden");
    // The manual search page shows a page, as it does once the user went there.
    QWebEngineView* browser = window->O_WB1->Browser();
    QSignalSpy loaded(browser, &QWebEngineView::loadFinished);
    browser->setHtml("<title>Search</title><a href=\"#\">A link</a>");
    ASSERT_TRUE(loaded.wait(30000));
    qreal designedFrame = 0;
    const std::vector<Look> looks{{"designed", 0, false}, {"14pt", 14, false}, {"dark", 0, true}};
    for (const Look& look : looks) {
        SCOPED_TRACE(look.name);
        const LookScope scope(look);
        for (const QString tab :
             {"Report info", "Manual search", "Auto search", "Found URL list"}) {
            SCOPED_TRACE(tab.toStdString());
            ClickTab(tab);
            QCoreApplication::processEvents();
            window->PageControl1->tabBar()->setFocus();
            Audit(window.get(), window->PageControl1->currentWidget());
            SaveScreenshot(window.get(), ShotName(look, "main-" + QString(tab).replace(' ', '-')));
        }
        // The words of the picture stand out from the panel it lies on.
        TO_autosearch* search = window->O_autosearch1;
        EXPECT_GE(InkContrast(search->Image1->pixmap(), 34.0 / 140,
                              search->Panel1->palette().color(QPalette::Window)),
                  4.5);
        // An unticked box of the found URL list shows its frame as well as on the designed
        // palette.
        ClickTab("Found URL list");
        const QTableView* list = window->O_results1->LV1;
        QStyleOptionViewItem cell;
        cell.initFrom(list);
        cell.rect = list->visualRect(list->model()->index(1, 0));
        cell.features |= QStyleOptionViewItem::HasCheckIndicator;
        const QRect box =
            list->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &cell, list);
        const qreal frame =
            InkContrast(list->viewport()->grab(box), 0, list->palette().color(QPalette::Base));
        if (designedFrame == 0)
            designedFrame = frame;
        EXPECT_GE(frame, designedFrame);
        for (const auto& [name, make] : Dialogs()) {
            SCOPED_TRACE(name.toStdString());
            std::unique_ptr<QDialog> dialog(make());
            dialog->show();
            ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
            if (!dialog->focusWidget())
                dialog->nextInFocusChain()->setFocus(Qt::TabFocusReason);
            Audit(dialog.get(), dialog.get());
            SaveScreenshot(dialog.get(), ShotName(look, name));
        }
    }
}

TEST_F(Access, AltAndTheUnderlinedLetterOpenTheMenus) {
    StartWindow();
    // Letters of the menu bar and of each menu never clash, and every entry has one.
    std::vector<QList<QAction*>> menus{window->MainMenu1->actions()};
    for (const QMenu* menu : window->MainMenu1->findChildren<QMenu*>())
        menus.push_back(menu->actions());
    ASSERT_GE(menus.size(), 8u);
    for (const QList<QAction*>& entries : menus) {
        QList<QChar> letters;
        for (const QAction* a : entries) {
            if (a->isSeparator())
                continue;
            const QKeySequence mnemonic = QKeySequence::mnemonic(a->text());
            EXPECT_FALSE(mnemonic.isEmpty()) << a->text().toStdString();
            const QChar letter = a->text().at(a->text().indexOf('&') + 1).toLower();
            EXPECT_FALSE(letters.contains(letter)) << a->text().toStdString();
            letters << letter;
        }
    }
    QTest::keyClick(window.get(), Qt::Key_F, Qt::AltModifier);
    ASSERT_TRUE(QTest::qWaitFor([this] { return window->N_File->isVisible(); }));
    QTest::keyClick(window->N_File, Qt::Key_Escape);
    EXPECT_TRUE(QTest::qWaitFor([this] { return !window->N_File->isVisible(); }));
}
