// The filter dialog: conditions as circles of the condition diagram, the regions to keep as
// pins, "Filter on" / "Filter off", and the test of each record against the expression text
// that the diagram generated.
#pragma once

#include "filter/core/CirclePlacement.h"
#include "filter/core/FilterMatcher.h"
#include "settings/core/UserSettings.h"

#include <QDialog>
#include <QString>

#include <string>

class QFileDialog;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QToolButton;
class QWidget;
class TOadvCloud;
class TQelPigger;

class TF_lr_filter : public QDialog {
    Q_OBJECT
public:
    explicit TF_lr_filter(QWidget* parent = nullptr);
    ~TF_lr_filter() override;

    // Shows the dialog modally for the report's record collection and gives FilterOn; without
    // a collection it gives false at once and shows nothing.
    bool Execute(TQelPigger* records);
    // Enables "Filter on", "Remove" and "Add" by the state of the diagram and the pages.
    virtual void UpdateActions();
    // Whether record passes: ExprText evaluated for it (true without a record). The
    // evaluator's errors pass through.
    virtual bool Matches(const TQelPigger* record);

    void SetFilterOn(bool value);
    bool FilterOn() const { return filterOn_; }
    bool Applied() const { return applied_; }
    // The expression text stored by the last "Filter on".
    const std::string& ExprText() const { return matcher_.ExprText; }
    const TQelPigger* CurrentRecord() const { return matcher_.CurrentRecord(); }
    TCirclePlacement& Placement() { return placement_; }

    // Where the folder of the conditions files is kept between runs; set by the program.
    UserSettingsSource Settings;
    // The folder that the conditions file dialogs start in.
    const QString& ConditionsFolder() const { return conditionsFolder_; }

    QFrame* Panel_right;
    QPushButton* btnApply;
    QPushButton* btn_no_filter;
    QPushButton* btn_close;
    QPushButton* btnSaveConditions;
    QPushButton* btnLoadConditions;
    QFrame* Panel1;
    QFrame* Shape2;
    QFrame* Shape1;
    QLabel* Label3;
    QLabel* Label_onoff;
    QFrame* Panel_main;
    QFrame* Panel_top;
    QTabWidget* PageControl1;
    QWidget* TabSheet_kw;
    QLabel* Label1;
    QLineEdit* Edit_kw;
    QFrame* Panel4;
    QToolButton* SB_add_condition;
    QToolButton* SB_del_cond;
    TOadvCloud* OClouds1;
    QFileDialog* SaveConditionsDialog;
    QFileDialog* OpenConditionsDialog;

public slots:
    void CallActionsEnabling();
    void btnApplyClick();
    void btn_no_filterClick();
    void btn_closeClick();
    void SB_del_condClick();
    void btnSaveConditionsClick();
    void btnLoadConditionsClick();

protected:
    // The keyword page's condition, placed as every new circle is.
    void AddContextCondition();
    // Runs the add handler of the concrete dialog; the base has none.
    virtual void AddCondition() {}
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    // A new desktop font sizes the dialog again.
    bool event(QEvent* event) override;
    // Esc does not close the dialog: leaving it switches the filter off, and that takes a
    // button or the close box.
    void keyPressEvent(QKeyEvent* event) override;

private:
    // The dialog's font: 11 pixels at the designed 9 pt desktop font, larger in proportion
    // with a larger desktop font.
    static QFont DialogFont();
    // Sizes the fonts, the state box and the top panel for the desktop font.
    void arrangeForFont();
    void fitRightPanel();
    void FormCreate();
    int runConditionsDialog(QFileDialog* dialog);

    bool built_ = false;
    bool applied_ = false;
    bool filterOn_ = false;
    TFilterMatcher matcher_;
    TCirclePlacement placement_;
    QString conditionsFolder_;
};
