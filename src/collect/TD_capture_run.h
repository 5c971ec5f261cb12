// The window of a batch of page captures: a bar of the pages done, the running count ("Captured
// 4 of 10: 1 failed"), the failures as they come, and Stop, which becomes Close once the batch
// has ended.
#pragma once

#include <QDialog>

class CaptureRun;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

class TD_capture_run : public QDialog {
    Q_OBJECT
public:
    explicit TD_capture_run(QWidget* parent = nullptr);

    // Starts run and shows the window until the user closes it after the run has ended.
    int Execute(CaptureRun* run);

    QProgressBar* PB_pages;
    QLabel* L_count;
    QPlainTextEdit* M_log;
    QPushButton* BTN_stop;

protected:
    void reject() override;

private:
    void showProgress();
    void runEnded();
    void stopOrClose();

    CaptureRun* run_ = nullptr;
    bool ended_ = false;
};
