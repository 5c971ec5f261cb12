// The browser frame of the "Manual search" page.
#pragma once

#include <QWidget>

#include <string>

class QLineEdit;
class QPushButton;

class TO_WB : public QWidget {
    Q_OBJECT
public:
    explicit TO_WB(QWidget* parent = nullptr);

    // The address field gets the home search address; nothing is loaded.
    void ShowHomeAddress();
    void GoHome();
    bool NavigateBack();
    bool NavigateForward();
    void StopNavigation();
    void RefreshPage();
    // The browser's current location; empty before the first page.
    std::string CurrentUrl() const;
    void SB_goClick();

    QLineEdit* Edit_url;
    QPushButton* SB_go;
    // The main window connects its own handler.
    QPushButton* SB_add_to_found;
};
