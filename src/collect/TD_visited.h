// The pages visited while "Record visited pages" was on: when each was loaded, its title and
// address and its capture (or why there is none); "Add to list" takes the selected page into
// the report.
#pragma once

#include <QDateTime>
#include <QDialog>

#include <functional>
#include <string>
#include <vector>

class QPushButton;
class QTreeWidget;

struct VisitedPage {
    QDateTime time;     // when it was captured (UTC)
    std::string folder; // the captures folder it went to
    std::string url;
    std::string title;
    std::string file;    // its capture file, or empty
    std::string failure; // why it was not captured
    bool added = false;  // taken into the report
};

class TD_visited : public QDialog {
    Q_OBJECT
public:
    explicit TD_visited(QWidget* parent = nullptr);

    // Shows visits (newest last) until closed; add takes a page into the report and tells
    // whether it did.
    void Execute(std::vector<VisitedPage>* visits, const std::function<bool(VisitedPage&)>& add);

    QTreeWidget* LV_visited;
    QPushButton* BTN_add;
    QPushButton* BTN_close;

private:
    void fill();
    void addSelected();
    void enableAdd();

    std::vector<VisitedPage>* visits_ = nullptr;
    std::function<bool(VisitedPage&)> add_;
};
