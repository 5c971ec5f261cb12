#include "collect/TD_duplicates.h"
#include "tree/TQelPigger.h"

#include "support/DialogDriver.h"
#include "support/SampleReports.h"

#include <gtest/gtest.h>

#include <QButtonGroup>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTreeWidget>

namespace {

struct Shown {
    QStringList headers;
    // Per record: its title (the choice's caption), address, "yes" when ticked, "*" when chosen.
    QStringList rows;
};

Shown shownIn(TD_duplicates* d) {
    Shown shown;
    for (int g = 0; g < d->TV_groups->topLevelItemCount(); ++g) {
        QTreeWidgetItem* header = d->TV_groups->topLevelItem(g);
        shown.headers << header->text(0);
        for (int i = 0; i < header->childCount(); ++i) {
            QTreeWidgetItem* row = header->child(i);
            auto* radio = qobject_cast<QRadioButton*>(d->TV_groups->itemWidget(row, 0));
            shown.rows << (radio ? radio->text() : "?") + "|" + row->text(1) + "|" + row->text(2) +
                              (radio && radio->isChecked() ? "|*" : "");
        }
    }
    return shown;
}

} // namespace

TEST(TD_duplicates, ShowsTheGroupsAndKeepsTheChosenOnes) {
    TQelPigger doc;
    doc.SetAsText(ReportText()
                      .Record("http://a.example/", "A")
                      .Record("http://a.example/index.html", "A2")
                      .Checked()
                      .Record("http://b.example/x", "B")
                      .Record("http://b.example/x/", "B2 longer")
                      .Record("http://c.example/", "C")
                      .Text());
    TQelPigger* urls = doc.FindChild("URLS");
    const std::string before = doc.GetAsText();
    TD_duplicates dialog;

    // Cancel changes nothing.
    Shown shown;
    DialogDriver dialogs;
    dialogs.Then([&](QWidget* w) {
        EXPECT_EQ(w->windowTitle(), "Duplicates");
        shown = shownIn(&dialog);
        DialogDriver::ClickButton(w, "Cancel");
    });
    EXPECT_EQ(dialog.Execute(urls), 0);
    EXPECT_EQ(shown.headers,
              (QStringList{"http://a.example/ (2 records)", "http://b.example/x (2 records)"}));
    EXPECT_EQ(shown.rows,
              (QStringList{"A|http://a.example/|", "A2|http://a.example/index.html|yes|*",
                           "B|http://b.example/x|", "B2 longer|http://b.example/x/||*"}));
    EXPECT_EQ(doc.GetAsText(), before);

    // The user picks the first record of the first group.
    dialogs.Then([&](QWidget* w) {
        QTreeWidgetItem* first = dialog.TV_groups->topLevelItem(0)->child(0);
        QTest::mouseClick(dialog.TV_groups->itemWidget(first, 0), Qt::LeftButton, {}, QPoint(5, 5));
        DialogDriver::ClickButton(w, "Keep the chosen ones");
    });
    EXPECT_EQ(dialog.Execute(urls), 2);
    ASSERT_EQ(urls->ChildCount(), 3);
    EXPECT_EQ(urls->Child(0)->GetAttr("URL"), "http://a.example/");
    EXPECT_EQ(urls->Child(0)->GetAttr("CHK"), "Y");
    EXPECT_EQ(urls->Child(1)->GetAttr("URL"), "http://b.example/x/");

    // Nothing left: a notice and no dialog.
    dialogs.Ok();
    EXPECT_EQ(dialog.Execute(urls), 0);
    EXPECT_EQ(dialogs.Seen(), QStringList{"No duplicates found."});
    EXPECT_TRUE(dialogs.Done()) << dialogs.Unexpected().join(",").toStdString();
}
