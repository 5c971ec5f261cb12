// The frame of the "Auto search" page: the keyword list of a run, the source it searches
// with, Start and Stop, and the log.
#pragma once

#include "collect/FontGrowth.h"
#include "settings/core/SearchSources.h"
#include "settings/core/UserSettings.h"

#include <QWidget>

#include <functional>
#include <string>
#include <vector>

class QComboBox;
class QFrame;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTimer;
class SearchRun;
class SourceRun;
struct RunProgress;

class TO_autosearch : public QWidget {
    Q_OBJECT
public:
    // settings: the often used keywords, the feed host and the proxy of each request.
    explicit TO_autosearch(UserSettingsSource settings, QWidget* parent = nullptr);
    ~TO_autosearch() override;

    // The address of the maker's page on getting listed in the search results.
    static constexpr const char* HowToPage =
        "http://www.quarrylog.example/quarrylog/get-listed.html";

    // Receives every listing of a feed reply (title, description, url, redirect); true when a
    // new record was made. Set by the main window.
    std::function<bool(const std::string&, const std::string&, const std::string&,
                       const std::string&)>
        AddListing;

    // Enables the keyword buttons and Start when idle, Stop when busy.
    void SetBusy(bool busy);
    // Appends one line to the log.
    void Log(const std::string& text);
    // Fills the often-used keyword list from the settings.
    void LoadOftenUsedKeywords();
    // Fills the source chooser from the settings, the chosen source selected.
    void LoadSources();
    // Chooses the source of that name (ignoring letter case) as the user would; false when
    // there is none.
    bool ChooseSource(const QString& name);
    // The source the chooser shows.
    SearchSource ChosenSource() const;
    // Ends a run that is under way as Stop does (before the report is closed or replaced).
    void StopRun();

    bool Busy = false;
    // The run of the feed: the state of the last reply, the count and the failure flag of the
    // current run.
    SearchRun* Search = nullptr;
    // The last run of another source, or none.
    SourceRun* Run = nullptr;
    // Whether a run of either kind is under way.
    bool Running() const;
    // The panel is never cut by the window that shows the frame.
    QSize minimumSizeHint() const override;

    QFrame* Panel1;
    QLabel* Label1;
    QLabel* Label_source;
    QComboBox* CB_source;
    QLineEdit* Edit_kw;
    QListWidget* LB_kw;
    QPushButton* SB_add;
    QPushButton* SB_remove;
    QPushButton* SB_clear;
    QListWidget* LB_selected;
    QPushButton* SB_start;
    QPushButton* SB_stop;
    QPushButton* SB_clear_history;
    // Where the run is (or where the last one ended): "Keyword 3 of 9: garden" with the
    // seconds a reply has been awaited, and the keywords done with as a bar.
    QLabel* L_progress;
    QProgressBar* PB_busy;
    // Counts the seconds of a reply awaited while a run is under way.
    QTimer* Timer_progress;
    QFrame* Shape1;
    QLabel* Image1;
    QPushButton* SB_how_to;
    QPlainTextEdit* Memo_log;

public slots:
    // Runs the search over the keywords of LB_selected with the chosen source (while Start is
    // enabled).
    void SB_startClick();
    // Aborts the requests in flight, which ends the run.
    void SB_stopClick();
    void SB_addClick();
    void SB_removeClick();
    void SB_clearClick();
    void SB_clear_historyClick();
    void SB_how_toClick();
    void LB_kwDblClick();
    void FrameResize();
    // Sizes the panel and places its controls: as designed, or larger as far as the captions
    // and lines of the font of the moment need.
    void PlaceControls();
    // Remembers the chosen source in the settings.
    void CB_sourceChange();
    // Shows where the current (or last) run stands.
    void ShowProgress();

signals:
    // A run ended, whichever source it searched with.
    void RunFinished();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    UserSettingsSource settings_;
    // Each control of the panel with its place in the designed panel.
    std::vector<PlacedControl> placed_;
    void place(QWidget* control, const QRect& designed);
    // How much larger than designed the "Search feed" picture is drawn.
    qreal bannerScale_ = 1;
    // The colours of the frame, the panel, the log and the picture, from the palette.
    void applyColours();
    bool applyingColours_ = false;
    // The sources the chooser lists, in its order.
    std::vector<SearchSource> sources_;
    // The settings of the moment, or none.
    UserSettings* Settings() const;

    // The progress of the current (or last) run: the feed's or the other source's.
    bool lastRunFeed_ = true;
    void startSourceRun(const SearchSource& source);
    // What every run, of the feed or of another source, hands to its requests and its results.
    ProxyValues proxyForRequest() const;
    bool addFound(const std::string& title, const std::string& description, const std::string& url,
                  const std::string& redirect) const;
    void Edit_kwKeyDown(QKeyEvent* key);
    void LB_kwKeyDown(QKeyEvent* key);
};
