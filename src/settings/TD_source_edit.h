// The small dialog that adds or edits one search source: its name, kind, address and pace.
// "Find..." makes an OpenSearch source from a web page, a description or a description file.
#pragma once

#include "settings/core/ProxySettings.h"
#include "settings/core/SearchSources.h"

#include <QDialog>

#include <functional>
#include <string>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

class TD_source_edit : public QDialog {
    Q_OBJECT
public:
    // Why a source cannot be stored (empty when it can), asked when OK is pressed.
    using Checker = std::function<std::string(const SearchSource&)>;

    // caption: the window title; source: what the fields start with; proxy: the values of
    // Find's requests.
    TD_source_edit(const QString& caption, const SearchSource& source, Checker check,
                   std::function<ProxyValues()> proxy, QWidget* parent = nullptr);

    // The source as the fields show it.
    SearchSource Source() const;
    // Puts a source into the fields.
    void ShowSource(const SearchSource& source);

    // How long Find waits for each address it reads.
    int FindTimeoutMs = 30000;

    QLineEdit* Edit_name;
    QComboBox* CB_kind;
    QLineEdit* Edit_address;
    QLabel* Label_hint;
    QPushButton* SB_find;
    QSpinBox* SE_pages;
    QSpinBox* SE_parallel;
    QSpinBox* SE_interval;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;

    // The example address shown for a kind.
    static QString AddressExample(SearchSource::Kind kind);

public slots:
    void CB_kindChange();
    // Asks for a web page, description or description file and fills the fields with the
    // OpenSearch source found there (the user picks one when several are offered).
    void SB_findClick();
    void OKBtnClick();

private:
    SearchSource::Kind kind() const;

    Checker check_;
    std::function<ProxyValues()> proxy_;
    // Kept from the source or from Find; no field shows them.
    int indexOffset_ = 1;
    int pageOffset_ = 1;
};
