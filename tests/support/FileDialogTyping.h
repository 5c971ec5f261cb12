// Answers a file dialog the way a user types a name into it and presses its button.
#pragma once

#include "DialogDriver.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QTest>

#include <functional>

// Types path into the dialog's name field as a user pastes it, once the folder is listed (the
// listing selects the file chosen last time when it is done), and again until the name stays;
// then closes the completer's pop-up.
inline void EnterFileName(QWidget* w, const QString& path) {
    auto* edit = w->findChild<QLineEdit*>("fileNameEdit");
    ASSERT_NE(edit, nullptr);
    if (auto* files = w->findChild<QListView*>("listView"))
        (void)QTest::qWaitFor([files] { return files->model()->rowCount(files->rootIndex()) > 0; },
                              1500);
    const auto typeName = [&] {
        edit->setFocus();
        edit->selectAll();
        edit->insert(path);
    };
    typeName();
    QElapsedTimer total, stable;
    total.start();
    stable.start();
    while (total.elapsed() < 5000 && stable.elapsed() < 300) {
        QTest::qWait(50);
        if (edit->text() != path) {
            typeName();
            stable.restart();
        }
    }
    while (QWidget* popup = QApplication::activePopupWidget())
        popup->close();
}

// Enters path into the dialog's name field (as pasted) and clicks "Save" or "Open". When the
// dialog then asks whether to replace a file, the question is answered with the button
// replaceAnswer ("Yes" or "No") and its text goes to asked; after No the dialog is cancelled.
inline std::function<void(QWidget*)> TypeFileName(const QString& path,
                                                  const QString& replaceAnswer = QString(),
                                                  QStringList* asked = nullptr) {
    return [path, replaceAnswer, asked](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        ASSERT_NE(dialog, nullptr);
        EnterFileName(w, path);
        // The dialog's own question comes up while its button is being clicked.
        DialogDriver question;
        if (!replaceAnswer.isEmpty())
            question.Then([replaceAnswer, asked](QWidget* box) {
                if (asked)
                    for (const QLabel* label : box->findChildren<QLabel*>())
                        if (label->text().contains("already exists"))
                            *asked << label->text();
                DialogDriver::ClickButton(box, replaceAnswer);
            });
        if (!DialogDriver::ClickButton(w, "Save"))
            DialogDriver::ClickButton(w, "Open");
        EXPECT_TRUE(question.Done()) << question.Unexpected().join(",").toStdString();
        // Not replacing a file leaves the dialog open: the user then gives up.
        if (w->isVisible()) {
            EXPECT_EQ(replaceAnswer, "No") << "not accepted: " << path.toStdString();
            dialog->reject();
        }
    };
}

// Types path and clicks "Open" or "Save"; a dialog that does not accept the name is cancelled.
// folderShown, when given, receives the folder the dialog showed first.
inline std::function<void(QWidget*)> TypeFileNameOrCancel(const QString& path,
                                                          QString* folderShown = nullptr) {
    return [path, folderShown](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        ASSERT_NE(dialog, nullptr);
        if (folderShown)
            *folderShown = dialog->directory().absolutePath();
        EnterFileName(w, path);
        if (!DialogDriver::ClickButton(w, "Open"))
            DialogDriver::ClickButton(w, "Save");
        if (w->isVisible())
            dialog->reject();
    };
}

// Cancels a file dialog, noting the folder it showed.
inline std::function<void(QWidget*)> CancelFileDialog(QString* shownFolder = nullptr) {
    return [shownFolder](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        ASSERT_NE(dialog, nullptr);
        if (shownFolder)
            *shownFolder = dialog->directory().absolutePath();
        dialog->reject();
    };
}
