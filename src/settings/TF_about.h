// The about box: product picture, name, version and the maker with its web address.
#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

class TF_about : public QDialog {
    Q_OBJECT
public:
    explicit TF_about(QWidget* parent = nullptr);

    // Shows the box modally with the program's current version.
    void ShowAbout();

    QFrame* Bevel1;
    QFrame* Shape1;
    QLabel* Image1;
    QLabel* Label2;
    QLabel* Label_version;
    QLabel* Label1;
    QLabel* Label_http;
    QPushButton* Btn_ok;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Fonts, colours, picture and size for the desktop font, palette and screen of the moment.
    void layOut();

private slots:
    void Label_httpClick();
    void Btn_okClick();
};

// The one about box of the program, created on first use.
TF_about* F_about();

// The product picture at the given size (logical pixels, ratio physical pixels to each), from
// the program's own pictures.
class QPixmap;
QPixmap ProductPicture(int size, qreal ratio = 1.0);
