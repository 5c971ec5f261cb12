// The browser frame of the "Manual search" page: an address bar with "Go!" and "Add to list"
// over an embedded web browser, and under it the captures bar: "Add and capture", "Record
// visited pages" (a red "Recording" sign while on) and "Visited pages...".
#pragma once

#include "collect/PageSaver.h"
#include "collect/TD_visited.h"
#include "settings/core/UserSettings.h"

#include <QWidget>

#include <functional>
#include <string>
#include <vector>

class QCheckBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;
class QShortcut;
class QVBoxLayout;
class QWebEngineNewWindowRequest;
class QWebEngineView;

class TO_WB : public QWidget {
    Q_OBJECT
public:
    // settings: the home search page.
    explicit TO_WB(UserSettingsSource settings, QWidget* parent = nullptr);
    ~TO_WB() override;

    // The address field gets the home search address; nothing is loaded.
    void ShowHomeAddress();
    // ShowHomeAddress, then Go.
    void GoHome();
    // The previous page; without one the page shown is reloaded. True when there was one.
    bool NavigateBack();
    // The next page; without one nothing happens. True when there was one.
    bool NavigateForward();
    void StopNavigation();
    void RefreshPage();
    // The browser's current location; empty before the first page.
    std::string CurrentUrl() const;
    // Navigates to the address in the field, or reloads when it names the page shown; words that
    // are no address are searched for with the home search page.
    void SB_goClick();

    // The home search address: the HOME_SEARCH_PAGE setting, or the built-in one.
    std::string HomeAddress() const;
    // The embedded browser, created here when nothing has needed it yet.
    QWebEngineView* Browser();

    QWidget* Panel1;
    QLabel* Panel_left;
    QWidget* Panel_center;
    QLineEdit* Edit_url;
    QWidget* Panel_right;
    QPushButton* SB_go;
    // The main window connects its own handler.
    QPushButton* SB_add_to_found;
    // The web view: none until the frame is first shown or a navigation needs it, so that the
    // browser engine does not slow the program's start.
    QWebEngineView* WebBrowser1 = nullptr;

    // --- captures of the pages shown
    QWidget* Panel_capture;
    // The main window connects its own handler.
    QPushButton* SB_add_and_capture;
    QCheckBox* CB_record;
    QLabel* L_recording;
    QPushButton* SB_visited;

    // What the frame needs of the report to capture pages; set by the main window.
    struct CaptureHooks {
        // The report's captures folder; empty when pages cannot be captured now. ask: the user
        // may be asked to save a report that was never saved.
        std::function<std::string(bool ask)> folder;
        std::function<PageSaveOptions()> options;
        // Takes a visited page into the report; true when it did.
        std::function<bool(VisitedPage&)> addVisit;
    };
    CaptureHooks Hooks;

    // Whether every page loaded is captured.
    bool Recording() const { return recording_; }
    // Turns the recording on (when the report's folder can be had) or off.
    void SetRecording(bool on);
    // The pages recorded so far, oldest first.
    std::vector<VisitedPage>& Visits() { return visits_; }
    // Saves the page shown into folder; done gets the attempt once it has ended.
    void CaptureShown(const std::string& folder,
                      const std::function<void(const CaptureAttempt&)>& done);
    // Opens the visited pages window.
    void SB_visitedClick();

signals:
    // A visited page was captured (or failed to be) and added to Visits().
    void PageRecorded();

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    UserSettingsSource settings_;

    bool Edit_urlKeyDown(QKeyEvent* key);
    // The keys: F5 and Ctrl+R reload, Alt+Left and Alt+Right go back and forward, Ctrl+L selects
    // the address field, Escape stops loading.
    void goBack();
    void goForward();
    void selectAddress();
    void WebBrowser1NavigateComplete2();
    void openPopUpHere(QWebEngineNewWindowRequest& request);

    QVBoxLayout* layout_;
    // Escape: enabled while a page loads.
    QShortcut* stopKey_;

    void buildCaptureBar();
    // Sizes the address bar and places its buttons for the font of the moment.
    void placeBar();
    void recordPage(bool loaded);
    bool recording_ = false;
    std::vector<VisitedPage> visits_;
};
