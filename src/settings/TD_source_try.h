// Tries a search source: runs it for one keyword and shows what came back, the log and the
// results, without touching the report. The run can be stopped.
#pragma once

#include "settings/core/ProxySettings.h"
#include "settings/core/SearchSources.h"

#include <QDialog>

#include <functional>
#include <set>
#include <string>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTreeWidget;
class SourceRun;

class TD_source_try : public QDialog {
    Q_OBJECT
public:
    // proxy: the values of each request (may ask for the proxy login).
    TD_source_try(const SearchSource& source, std::function<ProxyValues()> proxy,
                  QWidget* parent = nullptr);
    ~TD_source_try() override;

    // Starts the run for the keyword; the dialog shows it as it goes.
    void Start(const std::string& keyword);
    bool Running() const;

    SourceRun* Run;
    QLabel* Label_what;
    QPlainTextEdit* Memo_log;
    QTreeWidget* LV_results;
    QLabel* Label_count;
    // "Cancel" while the run goes on (it stops the run), then "Close".
    QPushButton* CloseBtn;

public slots:
    void CloseBtnClick();
    // Esc and the close box: as the button.
    void reject() override;

private:
    bool addResult(const std::string& title, const std::string& url);
    void runEnded();

    SearchSource source_;
    // The addresses shown, as keys ignoring letter case: a result already shown is no new one.
    std::set<std::string> seen_;
};
