#include "dialogs/TFsure.h"

#include "dialogs/DialogUtil.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

#include <algorithm>

namespace {
const QSize kWindow(313, 172);
const QSize kLabel(274, 99);
const QSize kButton(75, 25);
constexpr int kButtonGap = 13;
} // namespace

TFsure::TFsure(QWidget* parent) : QDialog(parent) {
    setObjectName("Fsure");
    setWindowTitle("Confirmation:");
    UseFixedDialogBorder(this);
    setFixedSize(kWindow);
    Bevel1 = MakeBevel(this, QRect(8, 8, 297, 119));
    Label1 = MakeMessageLabel(this, QRect(QPoint(21, 21), kLabel));
    OKBtn = new QPushButton("&Yes", this);
    OKBtn->setObjectName("OKBtn");
    OKBtn->setGeometry(75, 136, 75, 25);
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton("&No", this);
    CancelBtn->setObjectName("CancelBtn");
    CancelBtn->setGeometry(163, 136, 75, 25);
    connect(OKBtn, &QPushButton::clicked, this, &TFsure::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, [this] { done(QDialog::Rejected); });
}

bool TFsure::Ask(const QString& text) {
    Answer = false;
    // A long question makes the window bigger; every other one shows in the usual size.
    // A larger font makes the buttons larger as well.
    const QSize grow = FitMessageText(Label1, text, kLabel, kWindow);
    const QSize button = RoomForCaption(OKBtn, OKBtn->text(), kButton)
                             .expandedTo(RoomForCaption(CancelBtn, CancelBtn->text(), kButton));
    const int buttons = 2 * button.width() + kButtonGap;
    const QSize window((kWindow + grow).width() + std::max(0, buttons + 150 - kWindow.width()),
                       (kWindow + grow).height() + button.height() - kButton.height());
    setFixedSize(window);
    Bevel1->resize(window.width() - 16, 119 + grow.height());
    for (QPushButton* b : {OKBtn, CancelBtn})
        b->resize(button);
    OKBtn->move((window.width() - buttons) / 2, 136 + grow.height());
    CancelBtn->move(OKBtn->x() + button.width() + kButtonGap, OKBtn->y());
    CenterOnScreen(this);
    // A button clicked last keeps the focus, and with it Enter, into the next question.
    OKBtn->setDefault(true);
    OKBtn->setFocus();
    exec();
    return Answer;
}

bool TFsure::AskOnlyByButton(const QString& text) {
    onlyByButton_ = true;
    const bool answer = Ask(text);
    onlyByButton_ = false;
    return answer;
}

void TFsure::reject() {
    if (!onlyByButton_)
        QDialog::reject();
}

void TFsure::OKBtnClick() {
    Answer = true;
    accept();
}

TFsure* Fsure() {
    static TFsure* instance = nullptr;
    if (!instance)
        instance = new TFsure();
    return instance;
}

bool AskUser(const QString& text) {
    return Fsure()->Ask(text);
}

bool AskUserOnlyByButton(const QString& text) {
    return Fsure()->AskOnlyByButton(text);
}
