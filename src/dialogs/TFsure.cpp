#include "dialogs/TFsure.h"

#include "dialogs/DialogUtil.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>

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
    // A long question makes the window bigger; every other one shows in the usual size, in
    // the same proportions larger with a larger desktop font.
    const qreal scale = DesignedScale(font());
    const auto scaled = [scale](int pixels) { return qRound(pixels * scale); };
    const QSize designedWindow = kWindow * scale;
    const QSize designedButton = kButton * scale;
    if (auto* area = findChild<QScrollArea*>("Label1Area"))
        area->move(scaled(21), scaled(21));
    const QSize grow = FitMessageText(Label1, text, kLabel * scale, designedWindow);
    const QSize button =
        RoomForCaption(OKBtn, OKBtn->text(), designedButton)
            .expandedTo(RoomForCaption(CancelBtn, CancelBtn->text(), designedButton));
    const int buttons = 2 * button.width() + scaled(kButtonGap);
    const QSize window((designedWindow + grow).width() +
                           std::max(0, buttons + scaled(150) - designedWindow.width()),
                       (designedWindow + grow).height() + button.height() -
                           designedButton.height());
    setFixedSize(window);
    Bevel1->setGeometry(scaled(8), scaled(8), window.width() - scaled(16),
                        scaled(119) + grow.height());
    for (QPushButton* b : {OKBtn, CancelBtn})
        b->resize(button);
    OKBtn->move((window.width() - buttons) / 2, scaled(136) + grow.height());
    CancelBtn->move(OKBtn->x() + button.width() + scaled(kButtonGap), OKBtn->y());
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
