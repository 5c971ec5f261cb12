// The program's filter dialog: the context condition page, the record-state page and the
// link-state page.
#pragma once

#include "filter/TF_lr_filter.h"

class QComboBox;

class TF_lr_filter_user : public TF_lr_filter {
    Q_OBJECT
public:
    explicit TF_lr_filter_user(QWidget* parent = nullptr);

    void UpdateActions() override;
    bool Matches(const TQelPigger* record) override;

    QWidget* TabSheet_other;
    QLabel* Label2;
    QComboBox* CB_state;
    QWidget* TabSheet_link;
    QLabel* Label_link;
    QComboBox* CB_link;

public slots:
    void SB_add_conditionClick();

protected:
    void AddCondition() override { SB_add_conditionClick(); }
    // The chosen record state as a circle.
    void AddStateCondition();
    // The chosen link state as a circle.
    void AddLinkCondition();
};

// The program's one filter dialog, created on first use.
TF_lr_filter_user* F_lr_filter_user();
