// Answers a file dialog as a user does: types a name into its name field and clicks its Open
// or Save button.
#pragma once

#include "support/DialogDriver.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QListView>
#include <QTest>

#include <functional>

// folderShown, when given, receives the folder the dialog showed first.
inline std::function<void(QWidget*)> typeFileName(const QString& path,
                                                  QString* folderShown = nullptr) {
    return [path, folderShown](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        ASSERT_NE(dialog, nullptr);
        if (folderShown)
            *folderShown = dialog->directory().absolutePath();
        auto* edit = w->findChild<QLineEdit*>("fileNameEdit");
        ASSERT_NE(edit, nullptr);
        auto* files = w->findChild<QListView*>("listView");
        ASSERT_NE(files, nullptr);
        // The listing selects the file chosen last time once it is done; type after it.
        (void)QTest::qWaitFor([files] { return files->model()->rowCount(files->rootIndex()) > 0; },
                              1500);
        QElapsedTimer total, stable;
        total.start();
        stable.start();
        auto typeName = [&] {
            edit->setFocus();
            edit->selectAll();
            edit->insert(path);
        };
        typeName();
        while (total.elapsed() < 5000 && stable.elapsed() < 300) {
            QTest::qWait(50);
            if (edit->text() != path) {
                typeName();
                stable.restart();
            }
        }
        while (QWidget* popup = QApplication::activePopupWidget())
            popup->close();
        if (!DialogDriver::ClickButton(w, "Open"))
            DialogDriver::ClickButton(w, "Save");
        if (w->isVisible())
            dialog->reject();
    };
}
