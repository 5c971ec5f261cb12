// The settings object of the program and its visible settings window: the proxy used by the
// automatic search, the often used keywords and the search sources.
#pragma once

#include "settings/TD_settings.h"
#include "settings/core/ProxySettings.h"
#include "settings/core/SourceList.h"
#include "settings/core/UserSettings.h"

#include <memory>
#include <string>
#include <vector>

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QRadioButton;
class QTreeWidget;

class TD_settings_user : public TD_settings, public UserSettings {
    Q_OBJECT
public:
    // settingsFile empty: the default place (beside the executable, or the per-user fallback).
    explicit TD_settings_user(const QString& settingsFile = QString(), QWidget* parent = nullptr);
    ~TD_settings_user() override;

    // --- what the windows take from the settings
    SettingsStore& Store() override { return TD_settings::Store(); }
    // GetProxyUser (which may show the proxy login dialog), then the values of the run.
    ProxyValues ProxyForRequest() override;

    std::string GetVersion() const;
    std::string GetDataFolder() const;

    // --- proxy values for a request of the automatic search
    // The values as the settings hold them, with this run's login (see ProxyValuesFrom).
    ProxyValues Proxy() const;
    bool UseProxy() const;
    bool UseLoginDialog() const;
    // The address ready for the HTTP client ("192.168.1.1"), or empty without proxy.
    std::string GetProxyIP() const;
    // The port's digits, or empty without proxy.
    std::string GetProxyPort() const;
    // Empty without proxy. Else, with "Use proxy login dialog" chosen, asks for the run's
    // credentials with the proxy login dialog; otherwise takes them from the settings fields.
    // Gives SessionProxyUser; GetProxyPass gives the matching password.
    std::string GetProxyUser();
    std::string GetProxyPass() const { return SessionProxyPass; }

    // --- keywords
    // Adds a keyword (trimmed) unless it is empty or already listed ignoring letter case.
    void AddKeyword(const std::string& text);
    // The often used keywords as the list shows them (sorted).
    std::vector<std::string> OftenUsedKeywords() const override;

    // Turns to the "Proxy" page (the wizard shows the window there).
    void TurnToProxyPage();

    // --- search sources
    // The sources as the settings hold them: the feed first.
    const std::vector<SearchSource>& Sources() const { return sources_->Sources(); }
    // The row of the selected source, or -1.
    int SelectedSource() const;

    // The proxy credentials of the current run; never stored.
    std::string SessionProxyUser;
    std::string SessionProxyPass;
    // The "KEYWORDS" element of the settings tree (not owned).
    TQelPigger* Keywords = nullptr;

    QGroupBox* GroupBox_proxy;
    QCheckBox* CB_proxy;
    QLineEdit* Edit_proxyIP;
    QLineEdit* Edit_ProxyPort;
    // Beside the port field while it holds no port from 1 to 65535 (which is not stored).
    QLabel* L_port_range;
    QRadioButton* RB_proxy_login_dialog;
    QRadioButton* RB_proxy_login_save;
    QLineEdit* Edit_proxyUser;
    QLineEdit* Edit_proxyPass;
    QPushButton* SB_proxyLogin;
    QWidget* TabSheet_kw;
    QListWidget* LB_keywords;
    QPushButton* btn_add_kw;
    QPushButton* btn_del_kw;
    QWidget* TabSheet_sources;
    QTreeWidget* LV_sources;
    QPushButton* btn_add_source;
    QPushButton* btn_edit_source;
    QPushButton* btn_try_source;
    QPushButton* btn_del_source;
    QWidget* TabSheet_captures;
    QCheckBox* CB_capture_on_add;
    QCheckBox* CB_capture_pdf;
    QLineEdit* E_tsa_url;
    QLineEdit* E_tsa_ca;
    QLabel* L_tsa_note;

    // The text of a masked field as it is stored: unfilled places as blanks.
    static QString MaskedText(const QLineEdit* field);

protected:
    void ShowSettings() override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

public slots:
    void proxy_actions_enabling();
    void Edit_proxyIPChange();
    // A port from 1 to 65535 is stored as a plain number; anything else shows L_port_range.
    void Edit_ProxyPortChange();
    // Leaving the port field without a port puts back the one it had when the user came to it.
    void Edit_ProxyPortExit();
    void Edit_proxyUserChange();
    void Edit_proxyPassChange();
    void btn_add_kwClick();
    void btn_del_kwClick();
    void btn_add_sourceClick();
    void btn_edit_sourceClick();
    // Asks for a keyword and shows what the selected source finds for it.
    void btn_try_sourceClick();
    void btn_del_sourceClick();
    // Enables the buttons that need a source of the user's own selected.
    void LV_sourcesChange();

private:
    void buildProxyPage();
    void buildKeywordsPage();
    void buildSourcesPage();
    void buildCapturesPage();
    // The two capture switches into the settings.
    void storeCaptureSwitches();
    // Fills the source list anew and selects the row.
    void listSources(int select);
    void LoadKeywords();
    void AddDefaultKeywords();
    QListWidgetItem* listKeyword(TQelPigger* element);
    static TQelPigger* elementOf(const QListWidgetItem* item);
    // Stores a field's text unless the attribute already shows as that text (so bytes that
    // nobody edited stay as they are).
    void storeField(const char* key, const QString& shown);
    // The port the port field names, or 0.
    int portInField() const;
    // The port field's text when it last got the focus.
    QString portOnEntry_ = "8080";
    // Shows L_port_range when the port field names no port; true when it names one.
    bool showPortSign();

    std::unique_ptr<SourceList> sources_;
};

// The one settings object of the process, or none before it was created.
extern TD_settings_user* D_settings_user;
