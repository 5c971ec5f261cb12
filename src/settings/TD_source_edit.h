// The small dialog that adds or edits one search source: its name, kind, address and pace.
#pragma once

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

    // caption: the window title; source: what the fields start with.
    TD_source_edit(const QString& caption, const SearchSource& source, Checker check,
                   QWidget* parent = nullptr);

    // The source as the fields show it.
    SearchSource Source() const;
    // Puts a source into the fields.
    void ShowSource(const SearchSource& source);

    QLineEdit* Edit_name;
    QComboBox* CB_kind;
    QLineEdit* Edit_address;
    QLabel* Label_hint;
    QSpinBox* SE_pages;
    QSpinBox* SE_parallel;
    QSpinBox* SE_interval;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;

    // The example address shown for a kind.
    static QString AddressExample(SearchSource::Kind kind);

public slots:
    void CB_kindChange();
    void OKBtnClick();

private:
    SearchSource::Kind kind() const;

    Checker check_;
    // Kept from the source; no field shows them.
    int indexOffset_ = 1;
    int pageOffset_ = 1;
};
