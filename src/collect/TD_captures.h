// The dialogs over a report's captures: the "Capture details" of one record (every line the
// manifest has of it, newest first, a saved file to open) and "Verify captures" (each capture
// intact, changed or missing, the changed and missing ones first, and the summary line).
#pragma once

#include "capture/CaptureStore.h"

#include <QDialog>

#include <functional>
#include <vector>

class QLabel;
class QPushButton;
class QTreeWidget;

class TD_capture_details : public QDialog {
    Q_OBJECT
public:
    // entries: the record's lines, newest first; present[i]: the file of entries[i] is still in
    // the folder. open is called with the line chosen when the user clicks "Open".
    TD_capture_details(const QString& address, std::vector<CaptureEntry> entries,
                       std::vector<bool> present, std::function<void(const CaptureEntry&)> open,
                       QWidget* parent = nullptr);

    QLabel* Label1;
    QTreeWidget* TV_captures;
    QPushButton* btnOpen;
    QPushButton* btnClose;

private:
    void updateOpen();

    std::vector<CaptureEntry> entries_;
    std::vector<bool> present_;
    std::function<void(const CaptureEntry&)> open_;
};

class TD_capture_verify : public QDialog {
    Q_OBJECT
public:
    // checks in the order they are listed; summary: the line under the list.
    TD_capture_verify(const std::vector<CaptureCheck>& checks, const QString& summary,
                      QWidget* parent = nullptr);

    QTreeWidget* TV_checks;
    QLabel* L_summary;
    QPushButton* btnClose;
};
