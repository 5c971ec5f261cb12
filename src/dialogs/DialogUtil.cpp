#include "dialogs/DialogUtil.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCompleter>
#include <QFileDialog>
#include <QFontInfo>
#include <QFontMetrics>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPointer>
#include <QProxyStyle>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollArea>
#include <QWidget>

#include <algorithm>

namespace {

// The application's style, with a "*" for every character of a password.
class StarPasswordStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_LineEdit_PasswordCharacter)
            return '*';
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

// The pixel size of the desktop font the fixed-layout dialogs were designed at.
constexpr int kDesignedDesktopPixels = 13;

QScrollArea* areaOf(QLabel* label) {
    QWidget* viewport = label->parentWidget();
    return viewport ? qobject_cast<QScrollArea*>(viewport->parentWidget()) : nullptr;
}

} // namespace

QFrame* MakeBevel(QWidget* parent, const QRect& geometry) {
    auto* frame = new QFrame(parent);
    frame->setObjectName("Bevel1");
    frame->setFrameShape(QFrame::Box);
    frame->setFrameShadow(QFrame::Sunken);
    frame->setGeometry(geometry);
    return frame;
}

QLabel* MakeMessageLabel(QWidget* parent, const QRect& geometry) {
    auto* area = new QScrollArea(parent);
    area->setObjectName("Label1Area");
    area->setFrameShape(QFrame::NoFrame);
    area->setWidgetResizable(true);
    area->setGeometry(geometry);
    area->viewport()->setAutoFillBackground(false);
    // Only a text that scrolls needs the keyboard (FitMessageText); the focus starts on a button.
    area->setFocusPolicy(Qt::NoFocus);
    auto* label = new QLabel();
    label->setObjectName("Label1");
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setAutoFillBackground(false);
    area->setWidget(label);
    return label;
}

QSize FitMessageText(QLabel* label, const QString& text, const QSize& designedLabel,
                     const QSize& designedWindow) {
    label->setText(text);
    QScrollArea* area = areaOf(label);
    QWidget* window = label->window();
    QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    // Room for the text: the screen less the rest of the window and its frame.
    QSize room(4000, 4000);
    if (screen)
        room =
            screen->availableGeometry().size() - (designedWindow - designedLabel) - QSize(40, 80);
    room = room.expandedTo(designedLabel);

    int widestWord = 0;
    const QFontMetrics metrics(label->font());
    for (const QString& word : text.split(QRegularExpression("\\s+"), Qt::SkipEmptyParts))
        widestWord = std::max(widestWord, metrics.horizontalAdvance(word));
    const QMargins margins = label->contentsMargins();
    const int needWidth = widestWord + margins.left() + margins.right() + 2 * label->margin() + 2;
    const int width = std::clamp(needWidth, designedLabel.width(), room.width());
    const int needHeight = label->heightForWidth(width);
    const int height = std::clamp(needHeight, designedLabel.height(), room.height());

    // Beyond the screen the area scrolls: the label keeps the size its text needs.
    const bool scrolls = needWidth > width || needHeight > height;
    label->setMinimumWidth(needWidth > width ? needWidth : 0);
    if (area) {
        area->setVerticalScrollBarPolicy(scrolls ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
        area->setHorizontalScrollBarPolicy(scrolls ? Qt::ScrollBarAsNeeded
                                                   : Qt::ScrollBarAlwaysOff);
        area->resize(width, height);
        area->ensureVisible(0, 0);
        // A text larger than the screen is scrolled with the keys; the area is read out as it.
        area->setFocusPolicy(scrolls ? Qt::StrongFocus : Qt::NoFocus);
        area->setAccessibleName(scrolls ? text : QString());
    }
    return {width - designedLabel.width(), height - designedLabel.height()};
}

void UseFixedDialogBorder(QWidget* dialog) {
    dialog->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
}

void ShowStarsFor(QLineEdit* passwordField) {
    static QPointer<StarPasswordStyle> style;
    if (!style) {
        style = new StarPasswordStyle();
        style->setParent(qApp);
    }
    passwordField->setStyle(style);
    passwordField->setEchoMode(QLineEdit::Password);
}

int ExecFileDialog(QFileDialog* dialog) {
    auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
    // A file selected last time would put its name back into the field once listed.
    for (const char* viewName : {"listView", "treeView"})
        if (auto* view = dialog->findChild<QAbstractItemView*>(viewName))
            view->clearSelection();
    if (name)
        name->clear();
    const int result = dialog->exec();
    // The completion list is a window of its own: without this it stays on the screen.
    if (name && name->completer() && name->completer()->popup())
        name->completer()->popup()->hide();
    return result;
}

void CenterOnScreen(QWidget* window) {
    QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    window->move(area.center() - QPoint(window->width() / 2, window->height() / 2));
}

QSize RoomForCaption(const QWidget* control, const QString& caption, const QSize& designed) {
    QString text = caption;
    text.remove('&');
    const QFontMetrics metrics(control->font());
    // The style's frame and padding around the caption.
    constexpr int padding = 16;
    return designed.expandedTo(
        QSize(metrics.horizontalAdvance(text) + padding, metrics.height() + padding / 2));
}

void FixSizeForFont(QWidget* window, const QSize& designed) {
    QLayout* layout = window->layout();
    if (!layout) {
        window->setFixedSize(designed);
        return;
    }
    layout->invalidate();
    layout->activate();
    // The designed proportions at a larger font, as DesignedFont's; at least the least room of
    // every control (a button's whole caption, a label's line); a wrapped text takes the lines
    // it needs at the width the window has.
    const QSize scaled = designed * DesignedScale(window->font());
    const QSize least = layout->totalMinimumSize();
    const int width = std::max(scaled.width(), least.width());
    int height = std::max(scaled.height(), least.height());
    if (layout->hasHeightForWidth())
        height = std::max(height, layout->totalHeightForWidth(width));
    window->setFixedSize(width, height);
}

qreal DesignedScale(const QFont& font) {
    return std::max(1.0, QFontInfo(font).pixelSize() / qreal(kDesignedDesktopPixels));
}

QFont DesignedFont(const QFont& base, int pixels, bool bold) {
    QFont font(base);
    font.setPixelSize(qRound(pixels * DesignedScale(base)));
    font.setBold(bold);
    return font;
}

QColor WarningColour(const QPalette& palette, const QColor& designed) {
    return palette.color(QPalette::Window).lightness() < 128 ? QColor(255, 120, 120) : designed;
}

void PaintWarning(QLabel* label, const QColor& designed) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, WarningColour(palette, designed));
    label->setPalette(palette);
}
