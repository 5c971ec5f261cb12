// Answers a file dialog the way a user types a name into it and presses its button.
#pragma once

#include "DialogDriver.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include <functional>

// Enters path into the dialog's name field (as pasted) and clicks "Save" or "Open". When the
// dialog then asks whether to replace a file, the question is answered with the button
// replaceAnswer ("Yes" or "No") and its text goes to asked; after No the dialog is cancelled.
inline std::function<void(QWidget*)> TypeFileName(const QString& path,
                                                  const QString& replaceAnswer = QString(),
                                                  QStringList* asked = nullptr) {
    return [path, replaceAnswer, asked](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        ASSERT_NE(dialog, nullptr);
        auto* edit = w->findChild<QLineEdit*>("fileNameEdit");
        ASSERT_NE(edit, nullptr);
        // The folder may still be listed (which can select a file): type until the name stays.
        QTest::qWait(100);
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
