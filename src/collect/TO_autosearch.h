// The frame of the "Auto search" page.
#pragma once

#include <QWidget>

class QListWidget;

class TO_autosearch : public QWidget {
    Q_OBJECT
public:
    explicit TO_autosearch(QWidget* parent = nullptr);

    // Fills the often-used keyword list from the settings.
    void LoadOftenUsedKeywords();
    // Runs the search over the keywords of LB_selected.
    void SB_startClick();

    QListWidget* LB_kw;
    QListWidget* LB_selected;
};
