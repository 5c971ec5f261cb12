// The new report wizard, driven by clicks and typing: its pages and buttons, the file page and
// its save dialog, the search mode with its keyword list, and how the wizard ends.
#include "settings/TW_new_report.h"
#include "settings/TD_settings_user.h"
#include "settings/core/KeywordEntry.h"
#include "settings/core/NewReportPages.h"
#include "settings/core/SearchSources.h"

#include "support/DialogDriver.h"
#include "support/FileDialogTyping.h"
#include "support/ProgramFolder.h"
#include "support/TidyLayout.h"
#include "support/WaitUntil.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include <memory>

TEST(NewReportRules, SeveralWordsGiveOneKeywordEach) {
    QStringList list{"hotel"};
    KeywordEntryResult r = AddKeywordEntry(list, "Paris  HOTEL new");
    EXPECT_TRUE(r.taken);
    EXPECT_EQ(list, (QStringList{"hotel", "Paris", "new"}));
    EXPECT_EQ(r.lastFound, 0);
    // A new word after a found one leaves the found one selected; nothing found: -1.
    r = AddKeywordEntry(list, "rome");
    EXPECT_EQ(r.lastFound, -1);
    EXPECT_EQ(list.size(), 4);
    // An entry that begins with a blank (a list item is taken untrimmed) gives nothing.
    r = AddKeywordEntry(list, " london");
    EXPECT_FALSE(r.taken);
    EXPECT_EQ(list.size(), 4);
    EXPECT_EQ(FindKeywordItem(list, "ROME"), 3);
}

TEST(NewReportRules, PagesThatCannotBePassed) {
    using namespace NewReportPages;
    EXPECT_EQ(PageToReturnTo(FileName, Search, "", false, 0), FileName);
    EXPECT_EQ(PageToReturnTo(FileName, Search, "  ", true, 3), FileName);
    EXPECT_EQ(PageToReturnTo(FileName, Search, "/d/r.qrl", true, 0), -1);
    EXPECT_EQ(PageToReturnTo(Search, Ready, "/d/r.qrl", true, 0), Search);
    EXPECT_EQ(PageToReturnTo(Search, Ready, "/d/r.qrl", false, 0), -1);
    EXPECT_EQ(PageToReturnTo(Search, Ready, "/d/r.qrl", true, 1), -1);
    // Backwards is never checked.
    EXPECT_EQ(PageToReturnTo(Search, FileName, "", true, 0), -1);
    EXPECT_EQ(PageToReturnTo(Ready, Search, "", true, 0), -1);
}

class NewReportWizard : public ProgramFolder {
protected:
    std::unique_ptr<TW_new_report> wizard;

    void SetUp() override {
        ProgramFolder::SetUp();
        NewSettings();
        wizard = std::make_unique<TW_new_report>();
        wizard->GoToPage(0);
        wizard->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(wizard.get()));
    }
    void TearDown() override {
        wizard.reset();
        ProgramFolder::TearDown();
    }

    void next() { QTest::mouseClick(wizard->btnNext, Qt::LeftButton); }
    void prior() { QTest::mouseClick(wizard->btnPrev, Qt::LeftButton); }
    void chooseMode(int item) {
        QRadioButton* button = wizard->RG1Items[item];
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, button->height() / 2));
    }
    void chooseFile(const QString& typed) {
        DialogDriver dialogs;
        dialogs.Then(TypeFileName(typed));
        QTest::mouseClick(wizard->SB_filename, Qt::LeftButton);
        EXPECT_TRUE(dialogs.Done()) << dialogs.Unexpected().join(",").toStdString();
    }
    void typeKeywords(const QString& text) {
        wizard->Edit_kw->setFocus();
        QTest::keyClicks(wizard->Edit_kw, text);
        QTest::keyClick(wizard->Edit_kw, Qt::Key_Return);
    }
    QStringList selected() const {
        QStringList items;
        for (int i = 0; i < wizard->LB_selected->count(); ++i)
            items << wizard->LB_selected->item(i)->text();
        return items;
    }
    QString buttons() const {
        QString s;
        for (QPushButton* b :
             {wizard->btnPrev, wizard->btnNext, wizard->btnFinish, wizard->btnCancel})
            s += b->isEnabled() ? '1' : '0';
        return s;
    }
    // Presses Alt+key where the focus is and waits until the button it clicks is up again.
    void alt(Qt::Key key, const QPushButton* button) {
        QTest::keyClick(wizard->focusWidget(), key, Qt::AltModifier);
        EXPECT_TRUE(WaitUntil([button] { return !button->isDown(); }));
    }
    QString shownText(const char* name) const { return wizard->findChild<QLabel*>(name)->text(); }
};

TEST_F(NewReportWizard, PagesShowTheirTextsAndTheButtonsFollowThePage) {
    EXPECT_EQ(wizard->windowTitle(), "New search report");
    EXPECT_FALSE(wizard->pages->tabBar()->isVisible());
    EXPECT_FALSE(wizard->windowFlags() & Qt::WindowCloseButtonHint);
    ASSERT_EQ(wizard->PageCount(), 4);
    EXPECT_EQ(wizard->btnPrev->text().remove('&'), "<< Prior");
    EXPECT_EQ(wizard->btnNext->text().remove('&'), "Next >>");
    EXPECT_EQ(wizard->btnFinish->text().remove('&'), "Ok");
    EXPECT_EQ(wizard->btnCancel->text().remove('&'), "Cancel");

    EXPECT_EQ(wizard->pages->currentWidget(), wizard->TabSheet_general);
    EXPECT_EQ(buttons(), "0101");
    EXPECT_EQ(shownText("Label7"), "New search report");
    EXPECT_TRUE(wizard->Label7->font().bold());
    EXPECT_EQ(wizard->Edit_report_title->text(), "Title of search report");
    EXPECT_EQ(wizard->Memo_report_dsc->toPlainText(), "Description of search report");
    EXPECT_EQ(wizard->DTP_report->date(), QDate::currentDate());
    EXPECT_TRUE(wizard->DTP_report->calendarPopup());
    EXPECT_FALSE(wizard->Image2->pixmap().isNull());

    next();
    EXPECT_EQ(wizard->pages->currentWidget(), wizard->TabSheet_filename);
    EXPECT_EQ(wizard->PreviousPage, 0);
    EXPECT_EQ(buttons(), "1101");
    EXPECT_EQ(shownText("Label2").remove('&'), "Filename to save new report:");
    EXPECT_TRUE(wizard->Edit_filename->isReadOnly());
    EXPECT_EQ(wizard->SB_filename->text(), "...");
    EXPECT_FALSE(wizard->Image1->pixmap().isNull());

    // The search page as it starts: manual mode, the keyword part disabled in the face colour.
    wizard->Edit_filename->setText(tmp.qpath("data/r.qrl"));
    next();
    EXPECT_EQ(wizard->pages->currentWidget(), wizard->TabSheet_search);
    EXPECT_EQ(wizard->RG1->title(), "Search mode");
    EXPECT_TRUE(wizard->RG1Items[0]->isChecked());
    EXPECT_EQ(wizard->RG1Items[1]->text().remove('&'), "Automatic");
    EXPECT_EQ(wizard->Label_mode_dsc->text(),
              "Using manual mode you will browse search portal via embeded browser; to add found "
              "URL click \"AddToList\" button.");
    for (QWidget* w :
         std::initializer_list<QWidget*>{wizard->Edit_kw, wizard->LB_kw, wizard->LB_selected,
                                         wizard->SB_add, wizard->SB_remove, wizard->SB_clear})
        EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
    EXPECT_EQ(wizard->LB_kw->palette().color(QPalette::Base),
              QApplication::palette().color(QPalette::Button));
    EXPECT_EQ(wizard->LB_kw->count(), 13); // a copy of the often used keywords
    EXPECT_EQ(wizard->SB_add->text().remove('&'), "Add >>");
    EXPECT_EQ(wizard->SB_remove->text().remove('&'), "Del");
    EXPECT_EQ(wizard->SB_clear->text().remove('&'), "Clear");

    // Manual mode passes with an empty keyword list.
    next();
    EXPECT_EQ(wizard->pages->currentWidget(), wizard->TabSheet_ready);
    EXPECT_EQ(buttons(), "1011");
    EXPECT_EQ(wizard->SB_proxy->text().remove('&'), "Proxy setup");
    EXPECT_EQ(shownText("Label1"),
              "Click \"Proxy setup\" button if you use proxy server and proxy parameters are not "
              "entered yet in the settings of Quarrylog or you need to change them.");
    EXPECT_EQ(shownText("Label8"),
              "If you are not sure about proxy using try to use this program without any "
              "settings of proxy. If the attempts will not be successfull reffer to your net "
              "administrator.");
    EXPECT_EQ(shownText("Label9"), "Click Ok to start");
    EXPECT_TRUE(wizard->Label9->font().bold());
    EXPECT_FALSE(wizard->Image3->pixmap().isNull());

    // Back to the start; GoToPage out of range changes nothing.
    prior();
    prior();
    prior();
    EXPECT_EQ(wizard->PageIndex(), 0);
    EXPECT_EQ(buttons(), "0101");
    wizard->GoToPage(7);
    EXPECT_EQ(wizard->PageIndex(), 0);
}

TEST_F(NewReportWizard, KeyboardStaysOnThePageAndOnlyNextTurnsIt) {
    ASSERT_TRUE(QTest::qWaitForWindowActive(wizard.get()));
    EXPECT_EQ(wizard->focusWidget(), wizard->Edit_report_title);

    // Tab leaves the description instead of typing into it; Ctrl+Tab types a tab there.
    wizard->Memo_report_dsc->setFocus();
    wizard->Memo_report_dsc->moveCursor(QTextCursor::End);
    QTest::keyClick(wizard->Memo_report_dsc, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(wizard->PageIndex(), 0);
    QTest::keyClick(wizard->Memo_report_dsc, Qt::Key_Tab);
    EXPECT_NE(wizard->focusWidget(), wizard->Memo_report_dsc);
    EXPECT_EQ(wizard->Memo_report_dsc->toPlainText(), "Description of search report\t");

    // The page keys of tabs turn no page.
    for (const Qt::Key key : {Qt::Key_Tab, Qt::Key_Backtab, Qt::Key_PageDown, Qt::Key_PageUp}) {
        QTest::keyClick(wizard->Edit_report_title, key, Qt::ControlModifier);
        EXPECT_EQ(wizard->PageIndex(), 0) << key;
    }

    // Alt+N is Next with its checks, the focus going to the first field of the page shown.
    alt(Qt::Key_N, wizard->btnNext);
    EXPECT_EQ(wizard->PageIndex(), 1);
    EXPECT_EQ(wizard->focusWidget(), wizard->Edit_filename);
    alt(Qt::Key_N, wizard->btnNext);
    EXPECT_EQ(wizard->PageIndex(), 1);
    wizard->Edit_filename->setText(tmp.qpath("data/r.qrl"));
    alt(Qt::Key_N, wizard->btnNext);
    EXPECT_EQ(wizard->PageIndex(), 2);
    EXPECT_EQ(wizard->focusWidget(), wizard->RG1Items[0]);
    alt(Qt::Key_P, wizard->btnPrev);
    EXPECT_EQ(wizard->PageIndex(), 1);
}

TEST_F(NewReportWizard, ToggleActionOfAScreenReaderChoosesTheMode) {
    wizard->Edit_filename->setText(tmp.qpath("data/r.qrl"));
    next();
    next();
    QAccessibleInterface* automatic = QAccessible::queryAccessibleInterface(wizard->RG1Items[1]);
    ASSERT_NE(automatic, nullptr);
    ASSERT_NE(automatic->actionInterface(), nullptr);
    automatic->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_EQ(wizard->SearchMode(), 1);
    EXPECT_TRUE(wizard->Edit_kw->isEnabled());
    EXPECT_TRUE(wizard->CB_source->isEnabled());
    EXPECT_TRUE(wizard->Label_mode_dsc->text().startsWith("Using automatic mode"));
    // Without keywords the automatic mode does not pass.
    next();
    EXPECT_EQ(wizard->PageIndex(), 2);
}

TEST_F(NewReportWizard, FilePageNeedsAFileFromTheSaveDialog) {
    next();
    {
        // No file: Next stays on the file page, without a message.
        DialogDriver none;
        next();
        QTest::qWait(20);
        EXPECT_TRUE(none.Done());
        EXPECT_EQ(wizard->pages->currentWidget(), wizard->TabSheet_filename);
        EXPECT_EQ(buttons(), "1101");
    }

    // The dialog starts in "../data", which it creates; cancelling keeps the empty name, and the
    // working directory is the program's again even when the dialog moved elsewhere.
    EXPECT_FALSE(QDir(tmp.qpath("data")).exists());
    QString folder;
    auto dialogs = std::make_unique<DialogDriver>();
    dialogs->Then([&](QWidget* w) {
        QDir::setCurrent(tmp.qpath(""));
        CancelFileDialog (&folder)(w);
    });
    QTest::mouseClick(wizard->SB_filename, Qt::LeftButton);
    EXPECT_TRUE(dialogs->Done());
    dialogs.reset();
    EXPECT_EQ(folder, QDir(tmp.qpath("data")).canonicalPath());
    EXPECT_EQ(QDir::currentPath(), QDir(tmp.qpath("bin")).canonicalPath());
    EXPECT_TRUE(wizard->Edit_filename->text().isEmpty());
    next();
    EXPECT_EQ(wizard->PageIndex(), 1);

    // A name without extension gets ".qrl".
    chooseFile(tmp.qpath("data/garden"));
    EXPECT_EQ(wizard->Edit_filename->text(), tmp.qpath("data/garden.qrl"));
    EXPECT_EQ(QDir::currentPath(), QDir(tmp.qpath("bin")).canonicalPath());

    // An existing file is only taken when the user agrees to replace it; No keeps the name.
    tmp.write("data/old.qrl", "<QRL/>");
    QStringList asked;
    dialogs = std::make_unique<DialogDriver>();
    dialogs->Then(TypeFileName(tmp.qpath("data/old.qrl"), "No", &asked));
    QTest::mouseClick(wizard->SB_filename, Qt::LeftButton);
    EXPECT_TRUE(dialogs->Done()) << dialogs->Unexpected().join(",").toStdString();
    EXPECT_EQ(asked.size(), 1);
    EXPECT_EQ(wizard->Edit_filename->text(), tmp.qpath("data/garden.qrl"));
    dialogs->Then(TypeFileName(tmp.qpath("data/old"), "Yes", &asked));
    QTest::mouseClick(wizard->SB_filename, Qt::LeftButton);
    EXPECT_TRUE(dialogs->Done()) << dialogs->Unexpected().join(",").toStdString();
    dialogs.reset();
    EXPECT_EQ(asked.size(), 2);
    EXPECT_EQ(wizard->Edit_filename->text(), tmp.qpath("data/old.qrl"));

    // The caller's check of the completed name can refuse it.
    QStringList checked;
    wizard->MayUseFileName = [&](const QString& chosen) {
        checked << chosen;
        return false;
    };
    chooseFile(tmp.qpath("data/other.txt"));
    EXPECT_EQ(checked, QStringList{tmp.qpath("data/other.txt")});
    EXPECT_EQ(wizard->Edit_filename->text(), tmp.qpath("data/old.qrl"));

    next();
    EXPECT_EQ(wizard->pages->currentWidget(), wizard->TabSheet_search);
    EXPECT_EQ(wizard->ReportFileName, tmp.qpath("data/old.qrl"));
}

TEST_F(NewReportWizard, AutomaticModeNeedsKeywordsEditedAsOnTheSearchPage) {
    next();
    chooseFile(tmp.qpath("data/r"));
    next();
    DialogDriver dialogs;

    chooseMode(1);
    EXPECT_EQ(wizard->Label_mode_dsc->text(),
              "Using automatic mode fill the list of keywords. Request will be sent to remote "
              "search engine and found URLs will be added to the list.");
    for (QWidget* w :
         std::initializer_list<QWidget*>{wizard->Edit_kw, wizard->LB_kw, wizard->LB_selected,
                                         wizard->SB_add, wizard->SB_remove, wizard->SB_clear})
        EXPECT_TRUE(w->isEnabled()) << w->objectName().toStdString();
    EXPECT_EQ(wizard->LB_kw->palette().color(QPalette::Base),
              QApplication::palette().color(QPalette::Base));

    // Without keywords Next stays.
    next();
    EXPECT_EQ(wizard->pages->currentWidget(), wizard->TabSheet_search);
    EXPECT_EQ(buttons(), "1101");

    // Several words become several keywords; one already listed is selected instead.
    typeKeywords("garden  tools");
    EXPECT_EQ(selected(), (QStringList{"garden", "tools"}));
    EXPECT_TRUE(wizard->Edit_kw->text().isEmpty());
    typeKeywords("Garden seeds");
    EXPECT_EQ(selected(), (QStringList{"garden", "tools", "seeds"}));
    EXPECT_EQ(wizard->LB_selected->currentRow(), 0);

    // A double click puts an often used keyword into the field; Add takes it.
    QListWidgetItem* hotel = wizard->LB_kw->findItems("hotel", Qt::MatchExactly).value(0);
    ASSERT_NE(hotel, nullptr);
    const QPoint at = wizard->LB_kw->visualItemRect(hotel).center();
    QTest::mouseClick(wizard->LB_kw->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(wizard->LB_kw->viewport(), Qt::LeftButton, {}, at);
    EXPECT_EQ(wizard->Edit_kw->text(), "hotel");
    QTest::mouseClick(wizard->SB_add, Qt::LeftButton);
    EXPECT_EQ(selected(), (QStringList{"garden", "tools", "seeds", "hotel"}));
    // With the field empty, Add takes the selected often used keyword.
    QTest::mouseClick(wizard->SB_add, Qt::LeftButton);
    EXPECT_EQ(selected().size(), 4);
    EXPECT_EQ(wizard->LB_selected->currentRow(), 3);

    // Del removes the selected keyword and leaves none selected, so a second click removes
    // nothing more; Clear asks first.
    QTest::mouseClick(wizard->SB_remove, Qt::LeftButton);
    QTest::mouseClick(wizard->SB_remove, Qt::LeftButton);
    EXPECT_EQ(selected(), (QStringList{"garden", "tools", "seeds"}));
    EXPECT_TRUE(wizard->LB_selected->selectedItems().isEmpty());
    dialogs.No();
    QTest::mouseClick(wizard->SB_clear, Qt::LeftButton);
    EXPECT_EQ(selected().size(), 3);
    dialogs.Yes();
    QTest::mouseClick(wizard->SB_clear, Qt::LeftButton);
    EXPECT_TRUE(selected().isEmpty());
    EXPECT_EQ(dialogs.Seen(),
              (QStringList{"Clear selected keyword list?", "Clear selected keyword list?"}));
    next();
    EXPECT_EQ(wizard->PageIndex(), 2);

    typeKeywords("spades");
    next();
    EXPECT_EQ(wizard->pages->currentWidget(), wizard->TabSheet_ready);
    EXPECT_EQ(buttons(), "1011");

    // Back in manual mode the list stays but is disabled, and the page may be passed again.
    prior();
    chooseMode(0);
    EXPECT_EQ(wizard->Label_mode_dsc->text(),
              "Using manual mode you will browse search portal via embeded browser; to add "
              "current URL use \"AddToList\" button.");
    EXPECT_EQ(selected(), QStringList{"spades"});
    EXPECT_FALSE(wizard->LB_selected->isEnabled());
    EXPECT_FALSE(wizard->SB_add->isEnabled());
    wizard->Edit_kw->setText("ignored");
    QTest::keyClick(wizard->Edit_kw, Qt::Key_Return);
    EXPECT_EQ(selected(), QStringList{"spades"});
    next();
    EXPECT_EQ(wizard->PageIndex(), 3);
    EXPECT_TRUE(dialogs.Done());
}

TEST_F(NewReportWizard, ExecuteGivesTheResultsAndOnlyOkFinishes) {
    wizard->hide();
    // Through the pages to Cancel on the last one: false, although a file was chosen.
    DialogDriver dialogs;
    dialogs.Then([&](QWidget* w) {
        ASSERT_EQ(w, wizard.get());
        QTest::keyClicks(wizard->Edit_report_title, " 2");
        next();
        chooseFile(tmp.qpath("data/r"));
        next();
        chooseMode(1);
        typeKeywords("garden tools");
        next();
        EXPECT_EQ(wizard->PageIndex(), 3);
        QTest::mouseClick(wizard->btnCancel, Qt::LeftButton);
    });
    EXPECT_FALSE(wizard->Execute());
    EXPECT_TRUE(dialogs.Done()) << dialogs.Unexpected().join(",").toStdString();
    EXPECT_FALSE(wizard->Finished);
    EXPECT_TRUE(wizard->Automatic);
    EXPECT_EQ(wizard->KeywordText, "garden\r\ntools\r\n");
    EXPECT_EQ(wizard->ReportFileName, tmp.qpath("data/r.qrl"));
    EXPECT_FALSE(QFile::exists(tmp.qpath("data/r.qrl"))); // the wizard writes no report

    // Again from the first page; Esc there ends it the way Cancel does.
    dialogs.Then([&](QWidget*) {
        EXPECT_EQ(wizard->PageIndex(), 0);
        QTest::keyClick(wizard->Edit_report_title, Qt::Key_Escape);
    });
    EXPECT_FALSE(wizard->Execute());
    EXPECT_TRUE(dialogs.Done()) << dialogs.Unexpected().join(",").toStdString();

    // Ok on the last page.
    dialogs.Then([&](QWidget*) {
        for (int i = 0; i < 3; ++i)
            next();
        QTest::mouseClick(wizard->btnFinish, Qt::LeftButton);
    });
    EXPECT_TRUE(wizard->Execute());
    EXPECT_TRUE(dialogs.Done()) << dialogs.Unexpected().join(",").toStdString();
    EXPECT_TRUE(wizard->Finished);
    EXPECT_EQ(wizard->Edit_report_title->text(), "Title of search report 2");
}

TEST_F(NewReportWizard, ProxySetupOpensTheSettingsOnTheProxyPage) {
    D_settings_user->PageControl1->setCurrentWidget(D_settings_user->TabSheet_kw);
    wizard->Edit_filename->setText("x");
    for (int i = 0; i < 3; ++i)
        next();
    ASSERT_EQ(wizard->PageIndex(), 3);
    QString page;
    DialogDriver dialogs;
    dialogs.Then([&](QWidget* w) {
        EXPECT_EQ(w, D_settings_user);
        page =
            D_settings_user->PageControl1->tabText(D_settings_user->PageControl1->currentIndex());
        DialogDriver::ClickButton(w, "Close");
    });
    QTest::mouseClick(wizard->SB_proxy, Qt::LeftButton);
    EXPECT_TRUE(dialogs.Done()) << dialogs.Unexpected().join(",").toStdString();
    EXPECT_EQ(page, "Proxy");
    EXPECT_TRUE(wizard->isVisible());
}

TEST_F(NewReportWizard, AutomaticModeChoosesTheSourceOfTheRun) {
    SearchSource searx;
    searx.name = "Local searx";
    searx.kind = SearchSource::Searx;
    searx.address = "http://127.0.0.1:8888";
    WriteSources(D_settings_user->SettingsTree(), {FeedSource(), searx});
    SetChosenSourceName(D_settings_user->SettingsTree(), "local SEARX");
    wizard = std::make_unique<TW_new_report>();
    wizard->Edit_filename->setText("x");
    wizard->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(wizard.get()));
    next();
    next();
    ASSERT_EQ(wizard->pages->currentWidget(), wizard->TabSheet_search);
    EXPECT_EQ(wizard->Label_source->text().remove('&'), "Search with:");
    EXPECT_EQ(wizard->CB_source->count(), 2);
    EXPECT_EQ(wizard->CB_source->itemText(0), "Quarrylog feed");
    EXPECT_EQ(wizard->CB_source->currentText(), "Local searx");
    EXPECT_FALSE(wizard->CB_source->isEnabled());
    chooseMode(1);
    EXPECT_TRUE(wizard->CB_source->isEnabled());
    EXPECT_EQ(LayoutFaults(wizard->TabSheet_search), "");
    SaveScreenshot(wizard.get(), "wizard-search-page");
    chooseMode(0);
    EXPECT_FALSE(wizard->CB_source->isEnabled());
    chooseMode(1);

    DialogDriver dialogs;
    dialogs.Then([&](QWidget*) {
        next();
        next();
        typeKeywords("garden");
        wizard->CB_source->setCurrentIndex(0);
        next();
        QTest::mouseClick(wizard->btnFinish, Qt::LeftButton);
    });
    wizard->hide();
    EXPECT_TRUE(wizard->Execute());
    EXPECT_TRUE(dialogs.Done()) << dialogs.Unexpected().join(",").toStdString();
    EXPECT_EQ(wizard->SourceName, "Quarrylog feed");
    // The choice is the run's to remember, not the wizard's.
    EXPECT_EQ(ChosenSourceName(D_settings_user->SettingsTree()), "local SEARX");
}
