#include "collect/TO_results.h"

#include "collect/RecordListModel.h"
#include "report/OpenAddress.h"
#include "settings/DialogUtil.h"
#include "settings/TDmsg.h"
#include "settings/TFsure.h"
#include "tree/TQelPigger.h"

#include <QDesktopServices>
#include <QFile>
#include <QHeaderView>
#include <QKeyEvent>
#include <QTableView>

namespace {
constexpr const char* kProbeFile = "a.html";
}

TO_results::TO_results(QWidget* parent) : TO_selected_list(parent, 3) {
    setObjectName("O_results1");
    model_->setCheckable(true);
    model_->setHeaders({"Tilte", "Url", "Description"});
    LV1->setShowGrid(true);
    LV1->horizontalHeader()->show();
    LV1->horizontalHeader()->resizeSection(RecordListModel::TitleColumn, 250);
    LV1->horizontalHeader()->resizeSection(RecordListModel::UrlColumn, 150);
    LV1->horizontalHeader()->resizeSection(RecordListModel::DescriptionColumn, 350);
    LV1->horizontalHeader()->setStretchLastSection(true);
    LV1->installEventFilter(this);
    connect(LV1, &QTableView::doubleClicked, this, [this] { LV1DblClick(); });
    connect(model_, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex&, const QModelIndex&, const QList<int>& roles) {
                if (roles.contains(Qt::CheckStateRole))
                    emit CheckToggled();
            });
}

TO_results::~TO_results() = default;

void TO_results::SetFilter(Matcher matches, FilterDialog dialog) {
    matches_ = std::move(matches);
    filterDialog_ = std::move(dialog);
}

void TO_results::Rebuild() {
    ClearItems();
    Fill();
}

void TO_results::Fill() {
    std::vector<RecordRow> rows = model_->rows();
    // The gathered rows are shown also when an error stops the walk (the rows before it stay).
    struct Bracket {
        TO_results* self;
        std::vector<RecordRow>& rows;
        ~Bracket() {
            self->bulkRows_ = nullptr;
            self->model_->resetRows(std::move(rows));
        }
    } bracket{this, rows};
    bulkRows_ = &rows;
    if (!Records)
        return;
    for (TQelPigger* r = Records->FindChild(RecordFields::Listing); r;
         r = Records->FindNextChild(r))
        if (Accepts(r))
            ShowRecord(r, false);
}

bool TO_results::Accepts(TQelPigger* record) {
    if (!filtered_ || !matches_)
        return true;
    return matches_(record);
}

void TO_results::ShowRecord(TQelPigger* record, bool replaceSelected) {
    if (!record)
        return;
    RecordRow row = MakeRow(record);
    const int selected = replaceSelected ? SelectedRow() : -1;
    if (selected >= 0)
        model_->replaceRow(selected, std::move(row));
    else if (bulkRows_)
        bulkRows_->push_back(std::move(row));
    else
        model_->appendRow(std::move(row));
}

TQelPigger* TO_results::recordOf(const RecordRow& row) const {
    return Records ? Records->FindChildBySerial(row.serial) : nullptr;
}

TQelPigger* TO_results::RecordAt(int row) const {
    if (row < 0 || row >= RowCount())
        return nullptr;
    return recordOf(model_->rowAt(row));
}

TQelPigger* TO_results::SelectedRecord() const {
    return RecordAt(SelectedRow());
}

std::string TO_results::SelectedRedirect() const {
    return ChildText(SelectedRecord(), RecordFields::Redirect);
}

void TO_results::OpenSelected() {
    const std::string redirect(TrimBlanks(SelectedRedirect()));
    if (redirect.empty())
        return;
    // The probe page beside the program, as the default browser's file type is looked up by it.
    QFile probe(kProbeFile);
    if (probe.exists() && !(probe.permissions() & QFileDevice::WriteOwner))
        probe.setPermissions(probe.permissions() | QFileDevice::WriteOwner);
    const std::string html = ProbePageHtml();
    if (!probe.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        probe.write(html.data(), static_cast<qint64>(html.size())) !=
            static_cast<qint64>(html.size())) {
        ShowMessage(QString("Cannot write the file \"%1\": %2")
                        .arg(QString(kProbeFile), probe.errorString()));
        return;
    }
    probe.close();
    const QUrl url = BrowserUrlFor(redirect);
    if (!url.isValid()) {
        ShowMessage(
            QString("This address cannot be opened in a web browser:\n%1").arg(ToQ(redirect)));
        return;
    }
    QDesktopServices::openUrl(url);
}

bool TO_results::DeleteSelected() {
    const int row = SelectedRow();
    if (row < 0)
        return false;
    if (!AskUser("Delete current URL?"))
        return false;
    TQelPigger* record = RecordAt(row);
    DeleteSelectedItem();
    if (!record)
        return false;
    delete record;
    return true;
}

void TO_results::StoreChecks() {
    if (!Records)
        return;
    // Only rows whose record is still in the report are written back.
    for (const RecordRow& row : model_->rows()) {
        TQelPigger* record = recordOf(row);
        if (!record)
            continue;
        const char* wanted = row.checked ? RecordFields::Checked : "";
        if (record->AttrRef(RecordFields::Check) != wanted)
            record->SetAttr(RecordFields::Check, wanted);
    }
}

bool TO_results::RunFilter() {
    if (filterDialog_)
        SetFiltered(filterDialog_(Records));
    else
        SetFiltered(false);
    return filtered_;
}

void TO_results::LV1DblClick() {
    OpenSelected();
}

bool TO_results::eventFilter(QObject* watched, QEvent* event) {
    if (watched == LV1 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            OpenSelected();
            return true;
        }
    }
    return TO_selected_list::eventFilter(watched, event);
}
