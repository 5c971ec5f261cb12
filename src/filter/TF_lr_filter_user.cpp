#include "filter/TF_lr_filter_user.h"

#include "filter/TOadvCloud.h"
#include "filter/core/ConditionTemplates.h"
#include "tree/LocalText.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QToolButton>

TF_lr_filter_user::TF_lr_filter_user(QWidget* parent) : TF_lr_filter(parent) {
    setObjectName("F_lr_filter_user");
    PageControl1->setTabText(PageControl1->indexOf(TabSheet_kw), "Context condition");
    Label1->setText("Context:");

    TabSheet_other = new QWidget();
    TabSheet_other->setObjectName("TabSheet_other");
    auto* row = new QHBoxLayout(TabSheet_other);
    row->setContentsMargins(6, 4, 6, 4);
    Label2 = new QLabel("Record state:", TabSheet_other);
    Label2->setObjectName("Label2");
    QFont bold = Label2->font();
    bold.setBold(true);
    Label2->setFont(bold);
    CB_state = new QComboBox(TabSheet_other);
    CB_state->setObjectName("CB_state");
    CB_state->setEditable(false);
    CB_state->addItem(CheckedStateItem);
    CB_state->setCurrentIndex(-1);
    CB_state->setMinimumWidth(120);
    Label2->setBuddy(CB_state);
    row->addWidget(Label2);
    row->addWidget(CB_state);
    row->addStretch(1);
    PageControl1->addTab(TabSheet_other, "Other conditions");

    TabSheet_link = new QWidget();
    TabSheet_link->setObjectName("TabSheet_link");
    auto* linkRow = new QHBoxLayout(TabSheet_link);
    linkRow->setContentsMargins(6, 4, 6, 4);
    Label_link = new QLabel("Link state:", TabSheet_link);
    Label_link->setObjectName("Label_link");
    Label_link->setFont(bold);
    CB_link = new QComboBox(TabSheet_link);
    CB_link->setObjectName("CB_link");
    CB_link->setEditable(false);
    for (const std::string& item : LinkStateItems())
        CB_link->addItem(ToQ(item));
    CB_link->setCurrentIndex(-1);
    CB_link->setMinimumWidth(120);
    Label_link->setBuddy(CB_link);
    linkRow->addWidget(Label_link);
    linkRow->addWidget(CB_link);
    linkRow->addStretch(1);
    PageControl1->addTab(TabSheet_link, "Link state");

    connect(CB_state, &QComboBox::currentIndexChanged, this,
            &TF_lr_filter_user::CallActionsEnabling);
    connect(CB_link, &QComboBox::currentIndexChanged, this,
            &TF_lr_filter_user::CallActionsEnabling);
}

void TF_lr_filter_user::UpdateActions() {
    TF_lr_filter::UpdateActions();
    if (PageControl1->currentWidget() == TabSheet_other)
        SB_add_condition->setEnabled(CB_state->currentIndex() >= 0);
    else if (PageControl1->currentWidget() == TabSheet_link)
        SB_add_condition->setEnabled(CB_link->currentIndex() >= 0);
}

bool TF_lr_filter_user::Matches(const TQelPigger* record) {
    return TF_lr_filter::Matches(record);
}

void TF_lr_filter_user::SB_add_conditionClick() {
    if (!SB_add_condition->isEnabled())
        return;
    if (PageControl1->currentWidget() == TabSheet_kw)
        AddContextCondition();
    else if (PageControl1->currentWidget() == TabSheet_other)
        AddStateCondition();
    else if (PageControl1->currentWidget() == TabSheet_link)
        AddLinkCondition();
    UpdateActions();
}

void TF_lr_filter_user::AddStateCondition() {
    const std::string item = FromQ(CB_state->currentText());
    Placement().AddConditionCircle(*OClouds1, StateConditionLabel(item), StateConditionBody(item));
    OClouds1->FocusDiagram();
}

void TF_lr_filter_user::AddLinkCondition() {
    const std::string item = FromQ(CB_link->currentText());
    Placement().AddConditionCircle(*OClouds1, LinkConditionLabel(item), LinkConditionBody(item));
    OClouds1->FocusDiagram();
}

TF_lr_filter_user* F_lr_filter_user() {
    static TF_lr_filter_user* instance = nullptr;
    if (!instance)
        instance = new TF_lr_filter_user();
    return instance;
}
