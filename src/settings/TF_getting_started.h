// The dialog offered after start-up: show the introduction, run the new report wizard, or
// stop offering it.
#pragma once

#include <QDialog>

#include <functional>

class QFrame;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

class TF_getting_started : public QDialog {
    Q_OBJECT
public:
    explicit TF_getting_started(QWidget* parent = nullptr);

    // Shows the dialog modally unless the user switched it off; read RunWizard afterwards.
    void Execute();

    // Opens a help page by topic; given by the main window.
    std::function<void(const QString&)> OpenDoc;

    // The index of the chosen item of RG1 (-1 when none is chosen).
    int ItemIndex() const;

    QFrame* Shape1;
    QLabel* Image1;
    QLabel* Label1;
    QGroupBox* RG1;
    QRadioButton* RG1Items[4] = {};
    QPushButton* btnOk;

    bool RunWizard = false;

private slots:
    void btnOkClick();

private:
    // Fonts, picture and size for the desktop font and screen of the moment.
    void layOut();
};
