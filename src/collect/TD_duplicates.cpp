#include "collect/TD_duplicates.h"

#include "dialogs/TDmsg.h"
#include "report/Duplicates.h"
#include "report/RecordRows.h"
#include "report/ReportLayout.h"
#include "tree/LocalText.h"
#include "tree/TQelPigger.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>

TD_duplicates::TD_duplicates(QWidget* parent) : QDialog(parent) {
    setObjectName("D_duplicates");
    setWindowTitle("Duplicates");
    setSizeGripEnabled(true);
    resize(760, 460);

    Label1 = new QLabel("These records name the same page. Choose the one to keep of each "
                        "group; the others are deleted, their tick and longer texts go to it.",
                        this);
    Label1->setObjectName("Label1");
    Label1->setWordWrap(true);
    TV_groups = new QTreeWidget(this);
    TV_groups->setObjectName("TV_groups");
    TV_groups->setColumnCount(3);
    TV_groups->setHeaderLabels({"Title", "Address", "Ticked"});
    TV_groups->setRootIsDecorated(false);
    TV_groups->setSelectionMode(QAbstractItemView::NoSelection);
    TV_groups->header()->setStretchLastSection(false);
    TV_groups->header()->setSectionResizeMode(1, QHeaderView::Stretch);
    TV_groups->setColumnWidth(0, 260);
    TV_groups->setAccessibleName("Duplicate records");
    TV_groups->setAccessibleDescription(Label1->text());

    btnKeep = new QPushButton("Keep the chosen ones", this);
    btnKeep->setObjectName("btnKeep");
    btnKeep->setDefault(true);
    btnCancel = new QPushButton("Cancel", this);
    btnCancel->setObjectName("btnCancel");
    connect(btnKeep, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout();
    buttons->addStretch();
    buttons->addWidget(btnKeep);
    buttons->addWidget(btnCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(TV_groups, 1);
    layout->addLayout(buttons);
}

TD_duplicates::~TD_duplicates() = default;

void TD_duplicates::fill(const std::vector<DuplicateGroup>& groups) {
    TV_groups->clear();
    for (QButtonGroup* choice : choices_)
        delete choice;
    choices_.clear();
    for (const DuplicateGroup& group : groups) {
        auto* header = new QTreeWidgetItem(TV_groups);
        header->setText(0, ToQ(group.key) +
                               QString(" (%1 records)").arg(qsizetype(group.records.size())));
        header->setFirstColumnSpanned(true);
        QFont bold = header->font(0);
        bold.setBold(true);
        header->setFont(0, bold);
        auto* choice = new QButtonGroup(this);
        choices_.push_back(choice);
        const std::size_t suggested = SuggestedKeep(group);
        for (std::size_t i = 0; i < group.records.size(); ++i) {
            const TQelPigger* record = group.records[i];
            auto* row = new QTreeWidgetItem(header);
            row->setText(1, ToQ(record->AttrRef(RecordFields::Url)));
            const bool ticked = record->AttrRef(RecordFields::Check) == RecordFields::Checked;
            row->setText(2, ticked ? "yes" : "");
            auto* radio = new QRadioButton(ToQ(ChildText(record, RecordFields::Title)));
            radio->setChecked(i == suggested);
            choice->addButton(radio, static_cast<int>(i));
            TV_groups->setItemWidget(row, 0, radio);
        }
        header->setExpanded(true);
    }
}

std::size_t TD_duplicates::Chosen(int group) const {
    if (group < 0 || static_cast<std::size_t>(group) >= choices_.size())
        return 0;
    const int id = choices_[static_cast<std::size_t>(group)]->checkedId();
    return id < 0 ? 0 : static_cast<std::size_t>(id);
}

int TD_duplicates::Execute(TQelPigger* urls) {
    const std::vector<DuplicateGroup> groups = FindDuplicates(urls);
    if (groups.empty()) {
        ShowMessage("No duplicates found.");
        return 0;
    }
    fill(groups);
    const bool keep = exec() == QDialog::Accepted;
    int deleted = 0;
    if (keep) {
        std::vector<std::size_t> chosen;
        for (std::size_t g = 0; g < groups.size(); ++g)
            chosen.push_back(Chosen(static_cast<int>(g)));
        deleted = KeepChosen(urls, groups, chosen);
    }
    // The rows name records that may be gone now.
    fill({});
    return deleted;
}
