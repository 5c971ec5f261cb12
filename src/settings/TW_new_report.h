// The new report wizard: title, date and description; the file to save the report in; manual
// or automatic search with its keywords; proxy advice before Ok.
#pragma once

#include "settings/TWizard.h"

#include <functional>

class QButtonGroup;
class QComboBox;
class QDateEdit;
class QFileDialog;
class QFrame;
class QGroupBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QRadioButton;
class QShowEvent;

class TW_new_report : public TWizard {
    Q_OBJECT
public:
    explicit TW_new_report(QWidget* parent = nullptr);

    // Shows the wizard from its first page; true when the user ended it with Ok. The results
    // below are taken however it ended.
    bool Execute();

    // Asked about a name the save dialog gave whose ".qrl" completion is another existing file
    // (which the dialog did not ask about); false keeps the previous name. Set by the main window.
    std::function<bool(const QString& chosen)> MayUseFileName;

    // --- results
    bool Finished = false;
    QString ReportFileName;
    bool Automatic = false;
    // The keywords of LB_selected, each followed by CR LF.
    QString KeywordText;
    // The same keywords as a list, as the automatic search takes them.
    QStringList Keywords;
    // The name of the search source chosen for the automatic search.
    QString SourceName;

    // --- page 0: the report
    QWidget* TabSheet_general;
    QFrame* Shape2;
    QLabel* Image2;
    QLabel* Label7;
    QLabel* Label4;
    QLineEdit* Edit_report_title;
    QLabel* Label5;
    QDateEdit* DTP_report;
    QLabel* Label6;
    QPlainTextEdit* Memo_report_dsc = nullptr;

    // --- page 1: the file
    QWidget* TabSheet_filename;
    QFrame* Shape1;
    QLabel* Image1;
    QLabel* Label2;
    QLineEdit* Edit_filename;
    QPushButton* SB_filename;
    QFileDialog* SaveDialog1;

    // --- page 2: the search mode and keywords
    QWidget* TabSheet_search;
    QGroupBox* RG1;
    QRadioButton* RG1Items[2];
    QButtonGroup* RG1Group;
    QLabel* Label_mode_dsc;
    QLineEdit* Edit_kw = nullptr;
    QListWidget* LB_kw;
    QPushButton* SB_add;
    QPushButton* SB_remove;
    QPushButton* SB_clear;
    QListWidget* LB_selected;
    QLabel* Label_source;
    QComboBox* CB_source;

    // --- page 3: ready
    QWidget* TabSheet_ready;
    QFrame* Shape3;
    QLabel* Image3;
    QPushButton* SB_proxy;
    QLabel* Label1;
    QLabel* Label8;
    QLabel* Label9;

    // Index of the chosen search mode: 0 "Manual", 1 "Automatic".
    int SearchMode() const;

    void PageChanged() override;

public slots:
    void btnFinishClick();
    void RG1Click();
    void SB_filenameClick();
    void SB_proxyClick();
    void SB_addClick();
    void SB_removeClick();
    void SB_clearClick();
    void LB_kwDblClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildGeneralPage();
    void buildFileNamePage();
    void buildSearchPage();
    void buildReadyPage();
    // The pages' pictures at the window's pixel density.
    void drawPictures();
    // Lists the search sources of the settings, the chosen one selected.
    void loadSources();
    void Edit_kwKeyDown(QKeyEvent* key);
    QStringList selectedKeywords() const;
};
