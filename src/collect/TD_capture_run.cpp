#include "collect/TD_capture_run.h"

#include "collect/CaptureRun.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

TD_capture_run::TD_capture_run(QWidget* parent) : QDialog(parent) {
    setObjectName("D_capture_run");
    setWindowTitle("Capture pages");
    setModal(true);
    resize(520, 300);
    PB_pages = new QProgressBar(this);
    PB_pages->setObjectName("PB_pages");
    PB_pages->setAccessibleName("Pages done");
    L_count = new QLabel(this);
    L_count->setObjectName("L_count");
    M_log = new QPlainTextEdit(this);
    M_log->setObjectName("M_log");
    M_log->setReadOnly(true);
    M_log->setAccessibleName("Capture log");
    M_log->setTabChangesFocus(true);
    BTN_stop = new QPushButton("Stop", this);
    BTN_stop->setObjectName("BTN_stop");
    connect(BTN_stop, &QPushButton::clicked, this, &TD_capture_run::stopOrClose);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(PB_pages);
    layout->addWidget(L_count);
    layout->addWidget(M_log, 1);
    layout->addWidget(BTN_stop, 0, Qt::AlignRight);
}

int TD_capture_run::Execute(CaptureRun* run) {
    run_ = run;
    ended_ = false;
    BTN_stop->setText("Stop");
    M_log->clear();
    PB_pages->setRange(0, static_cast<int>(run->Queue().Total()));
    connect(run, &CaptureRun::Progress, this, &TD_capture_run::showProgress);
    connect(run, &CaptureRun::LogLine, M_log, &QPlainTextEdit::appendPlainText);
    connect(run, &CaptureRun::Finished, this, &TD_capture_run::runEnded);
    showProgress();
    run->Start();
    const int result = exec();
    disconnect(run, nullptr, this, nullptr);
    disconnect(run, nullptr, M_log, nullptr);
    run_ = nullptr;
    return result;
}

void TD_capture_run::showProgress() {
    PB_pages->setValue(static_cast<int>(run_->Queue().Ended()));
    L_count->setText(QString::fromStdString(run_->Queue().ProgressText()));
}

void TD_capture_run::runEnded() {
    ended_ = true;
    showProgress();
    if (run_->Stopped())
        L_count->setText(L_count->text() + " (stopped)");
    BTN_stop->setText("Close");
}

void TD_capture_run::stopOrClose() {
    if (!ended_ && run_) {
        run_->Stop();
        return;
    }
    accept();
}

void TD_capture_run::reject() {
    // Escape and the window's close button stop the run first, as Stop does.
    stopOrClose();
}
