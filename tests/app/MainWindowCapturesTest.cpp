#include "app/TFmain.h"
#include "capture/CaptureStore.h"
#include "collect/TD_captures.h"
#include "collect/TF_capture_view.h"
#include "collect/TO_results.h"

#include "support/CapturePages.h"
#include "support/DialogDriver.h"
#include "support/FileDialogTyping.h"
#include "support/MainWindowHarness.h"
#include "support/SampleReports.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QProcess>
#include <QStatusBar>
#include <QTableView>
#include <QTreeWidget>

#include <memory>

namespace {

class Captures : public MainWindowHarness {
protected:
    void SetUp() override {
        MainWindowHarness::SetUp();
        BrowserProfileInTemp();
        StartOn(ReportText()
                    .Record("http://a.example/", "A")
                    .Record("http://b.example/", "B")
                    .Record("http://c.example/", "C"));
        ClickTab("Found URL list");
    }
    void TearDown() override {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<TF_capture_view*>(w))
                delete w;
        MainWindowHarness::TearDown();
    }

    std::string folder() const { return CapturesFolderOf(ReportPath()); }
    std::string captured(const std::string& file) const { return "data/r.qrl.captures/" + file; }

    // Saves a page of the record as the browser does, at the time given, and shows the list
    // again.
    std::string capture(const std::string& url, const char* when, const std::string& words) {
        std::string error;
        const std::optional<long long> number = TakeCaptureNumber(folder(), &error);
        EXPECT_TRUE(number) << error;
        CaptureAttempt a;
        a.number = number.value_or(0);
        a.saved = true;
        a.pageFile = CaptureFileName(a.number, "mhtml");
        tmp.write(captured(a.pageFile), CaptureMhtml(url, "Page " + words, "<p>" + words + "</p>"));
        a.askedUrl = url;
        a.finalUrl = url;
        a.title = "Page " + words;
        EXPECT_TRUE(RecordCapture(folder(), window->FindListing(url), a,
                                  QDateTime::fromString(when, Qt::ISODate), &error))
            << error;
        window->RefreshList();
        return a.pageFile;
    }

    QAbstractItemModel* rows() { return window->O_results1->LV1->model(); }
    int rowOf(const QString& address) {
        for (int row = 0; row < rows()->rowCount(); ++row)
            if (rows()->index(row, 1).data().toString() == address)
                return row;
        return -1;
    }
    // Selects the record's row and runs the row menu's item.
    void rowMenu(const QString& address, const QString& caption) {
        window->O_results1->LV1->setCurrentIndex(rows()->index(rowOf(address), 1));
        std::unique_ptr<QMenu> menu(window->O_results1->MakeRowMenu(window.get()));
        for (QAction* a : menu->actions())
            if (a->text().remove('&') == caption) {
                ASSERT_TRUE(a->isEnabled()) << caption.toStdString();
                a->trigger();
                return;
            }
        ADD_FAILURE() << "no item " << caption.toStdString();
    }
    static std::vector<TF_capture_view*> views() {
        std::vector<TF_capture_view*> found;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* v = qobject_cast<TF_capture_view*>(w); v && v->isVisible())
                found.push_back(v);
        return found;
    }
    static QStringList columnTexts(const QTreeWidget* list, int column) {
        QStringList texts;
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            texts << list->topLevelItem(i)->text(column);
        return texts;
    }
    // Chooses folder in the directory dialog.
    static std::function<void(QWidget*)> chooseFolder(const QString& folder) {
        return [folder](QWidget* w) {
            EnterFileName(w, folder);
            if (!DialogDriver::ClickButton(w, "Choose"))
                DialogDriver::ClickButton(w, "Open");
            if (w->isVisible())
                static_cast<QDialog*>(w)->reject();
        };
    }
};

} // namespace

TEST_F(Captures, ListColumnOpenCaptureAndDetailsFromTheRowMenu) {
    capture("http://a.example/", "2026-12-01T09:00:00Z", "first");
    const std::string latest = capture("http://a.example/", "2026-12-09T10:15:30Z", "second");
    EXPECT_FALSE(rows()->index(rowOf("a.example/"), 4).data().toString().isEmpty());
    EXPECT_FALSE(rows()->index(rowOf("a.example/"), 4).data(Qt::DecorationRole).isNull());
    EXPECT_TRUE(rows()->index(rowOf("b.example/"), 4).data().toString().isEmpty());

    rowMenu("a.example/", "Open capture");
    ASSERT_EQ(views().size(), 1u);
    EXPECT_EQ(views()[0]->L_banner->text(),
              "Capture of http://a.example/, saved 2026-12-09 10:15:30 (UTC)");
    EXPECT_EQ(views()[0]->FileName(), tmp.qpath(captured(latest)));
    EXPECT_FALSE(views()[0]->Changed());
    views()[0]->close();

    DialogDriver dialogs;
    dialogs.Then([](QWidget* w) {
        auto* details = qobject_cast<TD_capture_details*>(w);
        ASSERT_NE(details, nullptr);
        EXPECT_EQ(columnTexts(details->TV_captures, 0),
                  (QStringList{"2026-12-09 10:15:30 UTC", "2026-12-01 09:00:00 UTC"}));
        EXPECT_EQ(columnTexts(details->TV_captures, 2),
                  (QStringList{"000002.mhtml", "000001.mhtml"}));
        EXPECT_EQ(columnTexts(details->TV_captures, 7), (QStringList{"Page second", "Page first"}));
        details->TV_captures->setCurrentItem(details->TV_captures->topLevelItem(1));
        DialogDriver::ClickButton(w, "Open");
        DialogDriver::ClickButton(w, "Close");
    });
    rowMenu("a.example/", "Capture details...");
    EXPECT_TRUE(dialogs.Done()) << dialogs.Unexpected().join(",").toStdString();
    ASSERT_EQ(views().size(), 1u);
    EXPECT_EQ(views()[0]->FileName(), tmp.qpath(captured("000001.mhtml")));
}

TEST_F(Captures, VerifyListsChangedAndMissingFirstWithTheSummary) {
    DialogDriver dialogs;
    dialogs.Ok();
    window->N_VerifyCaptures->trigger();
    EXPECT_EQ(dialogs.Seen(), QStringList{"This report has no captures."});

    capture("http://a.example/", "2026-12-01T09:00:00Z", "a");
    const std::string b = capture("http://b.example/", "2026-12-02T09:00:00Z", "b");
    const std::string c = capture("http://c.example/", "2026-12-03T09:00:00Z", "c");
    tmp.write(captured(b), "altered");
    ASSERT_TRUE(QFile::remove(tmp.qpath(captured(c))));
    QStringList states, files, addresses;
    QString summary;
    dialogs.Then([&](QWidget* w) {
        auto* verify = qobject_cast<TD_capture_verify*>(w);
        ASSERT_NE(verify, nullptr);
        states = columnTexts(verify->TV_checks, 0);
        files = columnTexts(verify->TV_checks, 1);
        addresses = columnTexts(verify->TV_checks, 2);
        summary = verify->L_summary->text();
        DialogDriver::ClickButton(w, "Close");
    });
    window->N_VerifyCaptures->trigger();
    EXPECT_TRUE(dialogs.Done()) << dialogs.Unexpected().join(",").toStdString();
    EXPECT_EQ(states, (QStringList{"changed", "missing", "intact"}));
    EXPECT_EQ(files, (QStringList{"000002.mhtml", "000003.mhtml", "000001.mhtml"}));
    EXPECT_EQ(addresses,
              (QStringList{"http://b.example/", "http://c.example/", "http://a.example/"}));
    EXPECT_EQ(summary, "3 captures: 1 intact, 1 changed, 1 missing.");
}

TEST_F(Captures, RemoveUnusedAsksRemovesAndNotes) {
    capture("http://a.example/", "2026-12-01T09:00:00Z", "a");
    const std::string b = capture("http://b.example/", "2026-12-02T09:00:00Z", "b");
    ASSERT_TRUE(window->N_SaveClick());
    // The record of b goes; its capture stays until asked, and while the report file still
    // has the record.
    delete window->FindListing("http://b.example/");
    window->RefreshList();
    DialogDriver dialogs;
    dialogs.Ok();
    window->N_RemoveUnusedCaptures->trigger();
    ASSERT_TRUE(window->N_SaveClick());
    ASSERT_TRUE(QFile::exists(tmp.qpath(captured(b))));

    dialogs.No().Yes().Ok();
    window->N_RemoveUnusedCaptures->trigger();
    EXPECT_TRUE(QFile::exists(tmp.qpath(captured(b))));
    window->N_RemoveUnusedCaptures->trigger();
    EXPECT_FALSE(QFile::exists(tmp.qpath(captured(b))));
    EXPECT_TRUE(QFile::exists(tmp.qpath(captured("000001.mhtml"))));
    EXPECT_EQ(window->StatusBar1->currentMessage(), "1 unused capture file was removed.");
    EXPECT_NE(tmp.read("data/r.qrl.captures/MANIFEST.tsv").find("\tremoved\t000002.mhtml\t"),
              std::string::npos);
    window->N_RemoveUnusedCaptures->trigger();
    const QString question = "Remove 1 capture file that no record refers to any more?";
    EXPECT_EQ(dialogs.Seen(), (QStringList{"No capture file is unused.", question, question,
                                           "No capture file is unused."}));
    EXPECT_TRUE(dialogs.Done()) << dialogs.Unexpected().join(",").toStdString();
}

TEST_F(Captures, EvidencePackageFromTheFileMenuIntoAnEmptyFolder) {
    const QList<QAction*> items = window->N_File->actions();
    ASSERT_EQ(items.indexOf(window->N_ExportPackage), items.indexOf(window->N_ExportTicked) + 1);
    EXPECT_EQ(window->N_ExportPackage->text().remove('&'), "Export evidence package...");
    capture("http://a.example/", "2026-12-01T09:00:00Z", "a");
    Folders({"data/full", "data/package"});
    tmp.write("data/full/x.txt", "x");

    DialogDriver dialogs;
    dialogs.Then(chooseFolder(tmp.qpath("data/full"))).Ok();
    window->N_ExportPackage->trigger();
    ASSERT_EQ(dialogs.Seen().size(), 1);
    EXPECT_TRUE(dialogs.Seen()[0].contains("is not empty")) << dialogs.Seen()[0].toStdString();

    dialogs.Then(chooseFolder(tmp.qpath("data/package")));
    window->N_ExportPackage->trigger();
    EXPECT_TRUE(dialogs.Done()) << dialogs.Unexpected().join(",").toStdString();
    EXPECT_NE(tmp.read("data/package/report.html").find("000001.mhtml"), std::string::npos);
    EXPECT_FALSE(tmp.read("data/package/captures/000001.mhtml").empty());
    QProcess check;
    check.setWorkingDirectory(tmp.qpath("data/package"));
    check.start("sha256sum", {"-c", "--strict", "--quiet", "SHA256SUMS"});
    ASSERT_TRUE(check.waitForFinished(30000));
    EXPECT_EQ(check.exitCode(), 0) << check.readAllStandardOutput().toStdString();
}

TEST_F(Captures, SaveAsCopiesTheCapturesOnYesOnly) {
    const std::string a = capture("http://a.example/", "2026-12-01T09:00:00Z", "a");
    DialogDriver dialogs;
    dialogs.Then(TypeFileName(tmp.qpath("data/copy.qrl"))).Yes();
    ASSERT_TRUE(window->N_SaveasClick());
    EXPECT_EQ(tmp.read("data/copy.qrl.captures/" + a), tmp.read(captured(a)));
    EXPECT_EQ(tmp.read("data/copy.qrl.captures/MANIFEST.tsv"),
              tmp.read("data/r.qrl.captures/MANIFEST.tsv"));
    // The new report's capture opens from its own folder.
    rowMenu("a.example/", "Open capture");
    ASSERT_EQ(views().size(), 1u);
    EXPECT_EQ(views()[0]->FileName(), tmp.qpath("data/copy.qrl.captures/" + a));

    dialogs.Then(TypeFileName(tmp.qpath("data/bare.qrl"))).No();
    ASSERT_TRUE(window->N_SaveasClick());
    EXPECT_FALSE(QFileInfo::exists(tmp.qpath("data/bare.qrl.captures")));
    EXPECT_TRUE(QFileInfo::exists(tmp.qpath("data/bare.qrl")));
    const QString question = "Copy the captures of this report to the new file too?";
    EXPECT_EQ(dialogs.Seen(), (QStringList{question, question}));
    EXPECT_TRUE(dialogs.Done()) << dialogs.Unexpected().join(",").toStdString();
}
