#include "collect/TO_results.h"

#include "capture/CaptureStore.h"
#include "collect/CheckBoxContrast.h"
#include "collect/RecordListModel.h"
#include "collect/RecordListProxy.h"
#include "dialogs/DialogUtil.h"
#include "dialogs/TDmsg.h"
#include "dialogs/TFsure.h"
#include "report/ListCounts.h"
#include "report/OpenAddress.h"
#include "settings/core/AppInfo.h"
#include "settings/core/SettingsStore.h"
#include "tree/TQelPigger.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDesktopServices>
#include <QFile>
#include <QGuiApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QShortcut>
#include <QStyle>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace {
constexpr const char* kProbeFile = "a.html";
}

TO_results::TO_results(QWidget* parent) : TO_selected_list(parent, 5) {
    setObjectName("O_results1");
    model_->setCheckable(true);
    model_->setHeaders({"Tilte", "Url", "Description", "Status", "Capture"});
    LV1->setShowGrid(true);
    LV1->setAccessibleName("Found URL list");
    // Tab and Shift+Tab leave the list; the arrow keys move within it.
    LV1->setTabKeyNavigation(false);
    LV1->setItemDelegate(new CheckBoxContrast(LV1));
    LV1->horizontalHeader()->show();
    LV1->horizontalHeader()->resizeSection(RecordListModel::TitleColumn, 250);
    LV1->horizontalHeader()->resizeSection(RecordListModel::UrlColumn, 150);
    LV1->horizontalHeader()->resizeSection(RecordListModel::DescriptionColumn, 350);
    // The status and capture columns are as wide as their longest text needs beside its icon;
    // the last one takes the rest of the width. Neither is kept in the settings.
    const int iconRoom = LV1->style()->pixelMetric(QStyle::PM_SmallIconSize) + 24;
    LV1->horizontalHeader()->resizeSection(
        RecordListModel::StatusColumn,
        LV1->fontMetrics().horizontalAdvance("failed too-many-redirects") + iconRoom);
    lastColumnWidth_ = LV1->fontMetrics().horizontalAdvance("2026-12-31 23:59 PM") + iconRoom;
    LV1->horizontalHeader()->resizeSection(RecordListModel::CaptureColumn, lastColumnWidth_);
    LV1->horizontalHeader()->setStretchLastSection(true);

    proxy_ = new RecordListProxy(model_, this);
    // A row that leaves the view (hidden by the find text, by an edit the find text no longer
    // matches, or deleted) takes the selection with it. The view would choose the next row in
    // its place, and the commands would act on a record the user never picked. Connected
    // before the view's own handler, which then finds nothing to move.
    connect(proxy_, &QAbstractItemModel::rowsAboutToBeRemoved, this,
            [this](const QModelIndex& under, int first, int last) {
                QItemSelectionModel* selection = LV1->selectionModel();
                const auto leaving = [&](const QModelIndex& i) {
                    return i.isValid() && i.parent() == under && i.row() >= first &&
                           i.row() <= last;
                };
                bool chosenLeaves = leaving(selection->currentIndex());
                for (const QModelIndex& row : selection->selectedRows())
                    chosenLeaves = chosenLeaves || leaving(row);
                if (chosenLeaves)
                    selection->clear();
            });
    LV1->setModel(proxy_);
    QHeaderView* header = LV1->horizontalHeader();
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(true);
    header->setSortIndicator(-1, Qt::AscendingOrder);
    connect(header, &QHeaderView::sectionClicked, this, &TO_results::HeaderClicked);

    E_find = new QLineEdit(this);
    E_find->setObjectName("E_find");
    E_find->setPlaceholderText("Find in list");
    E_find->setAccessibleName("Find in list");
    E_find->setClearButtonEnabled(true);
    E_find->installEventFilter(this);
    // On a long list each keystroke would look through every row: the text is taken once the
    // typing pauses.
    auto* findPause = new QTimer(this);
    findPause->setSingleShot(true);
    findPause->setInterval(250);
    const auto applyFind = [this] {
        proxy_->SetFindText(E_find->text());
        UpdateCounts();
    };
    connect(findPause, &QTimer::timeout, this, applyFind);
    connect(E_find, &QLineEdit::textChanged, this, [this, findPause, applyFind] {
        constexpr int kRowsFoundAtOnce = 50000;
        if (model_->rowCount() < kRowsFoundAtOnce) {
            findPause->stop();
            applyFind();
        } else {
            findPause->start();
        }
    });
    // Only while the list is on screen: a hidden widget's shortcut does not fire.
    auto* find = new QShortcut(QKeySequence::Find, this);
    find->setContext(Qt::WindowShortcut);
    connect(find, &QShortcut::activated, this, [this] {
        E_find->setFocus(Qt::ShortcutFocusReason);
        E_find->selectAll();
    });
    L_counts = new QLabel(this);
    L_counts->setObjectName("L_counts");
    auto* box = static_cast<QVBoxLayout*>(layout());
    box->insertWidget(0, E_find);
    box->addWidget(L_counts);
    for (auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
        connect(proxy_, signal, this, &TO_results::UpdateCounts);
    connect(proxy_, &QAbstractItemModel::modelReset, this, &TO_results::UpdateCounts);
    connect(proxy_, &QAbstractItemModel::dataChanged, this, &TO_results::UpdateCounts);

    LV1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(LV1, &QWidget::customContextMenuRequested, this, &TO_results::showRowMenu);
    LV1->installEventFilter(this);
    connect(LV1, &QTableView::doubleClicked, this, [this] { LV1DblClick(); });
    connect(model_, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex& top, const QModelIndex& bottom, const QList<int>& roles) {
                if (!roles.contains(Qt::CheckStateRole))
                    return;
                for (int row = top.row(); row <= bottom.row(); ++row) {
                    tickedRows_.emplace_back(row, model_->rowAt(row).serial);
                    tellCheckChanged(row);
                }
                emit CheckToggled();
            });
}

TO_results::~TO_results() = default;

void TO_results::SetFilter(Matcher matches, FilterDialog dialog) {
    matches_ = std::move(matches);
    filterDialog_ = std::move(dialog);
}

void TO_results::Rebuild() {
    // The rows are replaced in one go: emptying the list first would only show it once more.
    fillRows({});
}

void TO_results::Fill() {
    fillRows(model_->rows());
}

void TO_results::fillRows(std::vector<RecordRow> rows) {
    // The gathered rows are shown also when an error stops the walk (the rows before it stay).
    struct Bracket {
        TO_results* self;
        std::vector<RecordRow>& rows;
        // Rows kept from before may show records that are gone by now.
        bool madeNow;
        ~Bracket() {
            self->bulkRows_ = nullptr;
            self->model_->resetRows(std::move(rows), self->Records, madeNow);
        }
    } bracket{this, rows, rows.empty()};
    bulkRows_ = &rows;
    if (!Records)
        return;
    const std::string_view listing = RecordFields::Listing;
    const std::span<TQelPigger* const> children = Records->Children();
    rows.reserve(rows.size() + children.size());
    const std::string_view tick = RecordFields::Checked;
    int records = 0;
    int ticked = 0;
    for (size_t i = 0; i < children.size(); ++i) {
        TQelPigger* r = children[i];
        if (r->Name() != listing)
            continue;
        ++records;
        if (Accepts(r)) {
            ShowRecord(r, false);
            ticked += rows.back().checked ? 1 : 0;
        } else {
            ticked += r->AttrRef(RecordFields::Check) == tick ? 1 : 0;
        }
    }
    // The walk saw every record: the count line need not count them again.
    countedRecords_ = {Records, Records->Serial(), Records->ChangeStamp(), records, ticked};
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
    if (std::string capture = LatestCapture(record); !capture.empty()) {
        RowDetails& details = row.EditDetails();
        details.capture = std::move(capture);
        details.captureTime =
            QDateTime::fromString(ToQ(record->GetAttr(CaptureFields::Time)), Qt::ISODate);
    }
    const int selected = replaceSelected ? SelectedRow() : -1;
    if (selected >= 0)
        model_->replaceRow(selected, std::move(row));
    else if (bulkRows_)
        bulkRows_->push_back(std::move(row));
    else
        model_->appendRow(std::move(row), Records);
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
    const std::string html = ProbePageHtml(AppInfo::MakerSiteHost);
    // Written through to the file here: an error found only when it is closed (a full disk)
    // would go unseen.
    if (!probe.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        probe.write(html.data(), static_cast<qint64>(html.size())) !=
            static_cast<qint64>(html.size()) ||
        !probe.flush()) {
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
    UpdateCounts();
    return true;
}

void TO_results::StoreChecks() {
    tickedRows_.clear();
    if (!Records)
        return;
    for (int i = 0, count = model_->rowCount(); i < count; ++i)
        if (const RecordRow& row = model_->rowAt(i); row.checked != row.stored || !row.plainMark)
            storeCheck(i);
}

void TO_results::StoreTicks() {
    std::vector<std::pair<int, std::uint64_t>> ticked;
    ticked.swap(tickedRows_);
    if (!Records)
        return;
    for (const auto& [row, serial] : ticked)
        if (row < model_->rowCount() && model_->rowAt(row).serial == serial)
            storeCheck(row);
}

void TO_results::storeCheck(int row) {
    // Only rows whose record is still in the report are written back.
    const RecordRow& shown = model_->rowAt(row);
    TQelPigger* record = recordOf(shown);
    if (!record)
        return;
    const char* wanted = shown.checked ? RecordFields::Checked : "";
    const std::string_view now = record->AttrRef(RecordFields::Check);
    if (now != wanted) {
        // A count that was current stays so: only this record's tick changes.
        RecordCount& count = countedRecords_;
        const bool counted = count.of == Records && count.serial == Records->Serial() &&
                             count.stamp == Records->ChangeStamp();
        const int change = int(shown.checked) - int(now == RecordFields::Checked);
        record->SetAttr(RecordFields::Check, wanted);
        if (counted && record->Parent() == Records) {
            count.ticked += change;
            count.stamp = Records->ChangeStamp();
        }
    }
    if (shown.checked != shown.stored || !shown.plainMark)
        model_->markStored(row);
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

int TO_results::SortColumn() const {
    return sortColumn_;
}

void TO_results::HeaderClicked(int column) {
    if (column != sortColumn_) {
        sortColumn_ = column;
        sortOrder_ = Qt::AscendingOrder;
    } else if (sortOrder_ == Qt::AscendingOrder) {
        sortOrder_ = Qt::DescendingOrder;
    } else {
        sortColumn_ = -1;
        sortOrder_ = Qt::AscendingOrder;
    }
    proxy_->sort(sortColumn_, sortOrder_);
    LV1->horizontalHeader()->setSortIndicator(sortColumn_, sortOrder_);
    // The selected row stays in sight.
    const QModelIndex current = LV1->currentIndex();
    if (current.isValid())
        LV1->scrollTo(current);
}

void TO_results::CopySelectedAddress() {
    TQelPigger* record = SelectedRecord();
    if (record)
        QGuiApplication::clipboard()->setText(ToQ(record->GetAttr(RecordFields::Url)));
}

void TO_results::ToggleSelectedCheck() {
    const int row = SelectedRow();
    if (row < 0)
        return;
    const QModelIndex box = model_->index(row, RecordListModel::TitleColumn);
    model_->setData(box, model_->rowAt(row).checked ? Qt::Unchecked : Qt::Checked,
                    Qt::CheckStateRole);
}

const TO_results::RecordCount& TO_results::recordTally() {
    RecordCount& c = countedRecords_;
    if (!Records) {
        c = {};
        return c;
    }
    if (c.of == Records && c.serial == Records->Serial() && c.stamp == Records->ChangeStamp())
        return c;
    const std::string_view listing = RecordFields::Listing;
    const std::string_view tick = RecordFields::Checked;
    int records = 0;
    int ticked = 0;
    for (const TQelPigger* r : std::as_const(*Records).Children()) {
        if (r->Name() != listing)
            continue;
        ++records;
        ticked += r->AttrRef(RecordFields::Check) == tick ? 1 : 0;
    }
    c = {Records, Records->Serial(), Records->ChangeStamp(), records, ticked};
    return c;
}

void TO_results::UpdateCounts() {
    const RecordCount& inReport = recordTally();
    ListCounts counts;
    counts.records = inReport.records;
    // The ticks the records hold, changed by those given or taken in the rows and not stored.
    counts.ticked = inReport.ticked + model_->unstoredTicks();
    counts.shown = proxy_->rowCount();
    counts.shownTicked =
        counts.shown == model_->rowCount() ? model_->checkedCount() : proxy_->CheckedShown();
    L_counts->setText(ListCountText(counts));
}

void TO_results::StoreColumnWidths(SettingsStore& settings) const {
    const QHeaderView* header = LV1->horizontalHeader();
    settings.WriteListColumns(header->sectionSize(RecordListModel::TitleColumn),
                              header->sectionSize(RecordListModel::UrlColumn),
                              header->sectionSize(RecordListModel::DescriptionColumn));
}

void TO_results::RestoreColumnWidths(const SettingsStore& settings) {
    const SettingsStore::ListColumns widths = settings.ReadListColumns();
    QHeaderView* header = LV1->horizontalHeader();
    if (widths.title)
        header->resizeSection(RecordListModel::TitleColumn, *widths.title);
    if (widths.url)
        header->resizeSection(RecordListModel::UrlColumn, *widths.url);
    if (widths.description)
        header->resizeSection(RecordListModel::DescriptionColumn, *widths.description);
    fitPending_ = true;
    if (isVisible())
        QTimer::singleShot(0, this, &TO_results::fitRestoredWidths);
}

void TO_results::showEvent(QShowEvent* event) {
    TO_selected_list::showEvent(event);
    if (fitPending_)
        QTimer::singleShot(0, this, &TO_results::fitRestoredWidths);
}

void TO_results::fitRestoredWidths() {
    const int room = LV1->viewport()->width();
    if (!fitPending_ || !isVisible() || room <= 0)
        return;
    fitPending_ = false;
    constexpr int MinDescription = 150;
    QHeaderView* header = LV1->horizontalHeader();
    int others = 0;
    for (int column = 0; column < header->count(); ++column)
        if (column != RecordListModel::DescriptionColumn && column != header->count() - 1)
            others += header->sectionSize(column);
    // The last column stretches: it needs at least the width it was given at the start.
    others += lastColumnWidth_;
    const int description = header->sectionSize(RecordListModel::DescriptionColumn);
    if (others + description > room)
        header->resizeSection(RecordListModel::DescriptionColumn,
                              std::max(MinDescription, room - others));
}

QMenu* TO_results::MakeRowMenu(QWidget* parent) {
    auto* menu = new QMenu(parent);
    menu->setObjectName("RowMenu");
    const bool selected = SelectedRecord() != nullptr;
    QAction* open = menu->addAction("&Open", this, &TO_results::OpenWanted);
    open->setEnabled(selected && !TrimBlanks(SelectedRedirect()).empty());
    menu->addAction("&Edit", this, &TO_results::EditWanted)->setEnabled(selected);
    menu->addAction("&Delete", this, &TO_results::DeleteWanted)->setEnabled(selected);
    menu->addAction("&Copy address", this, &TO_results::CopySelectedAddress)->setEnabled(selected);
    menu->addAction("Check &links", this, &TO_results::CheckLinksWanted)->setEnabled(selected);
    menu->addSeparator();
    menu->addAction("Open c&apture", this, &TO_results::OpenCaptureWanted)
        ->setEnabled(selected && !LatestCapture(SelectedRecord()).empty());
    menu->addAction("Capture de&tails...", this, &TO_results::CaptureDetailsWanted)
        ->setEnabled(selected);
    return menu;
}

void TO_results::showRowMenu(const QPoint& at) {
    const QModelIndex under = LV1->indexAt(at);
    if (!under.isValid())
        return;
    LV1->setCurrentIndex(under);
    popupRowMenu(LV1->viewport()->mapToGlobal(at));
}

void TO_results::showRowMenuByKey() {
    // Once open, the menu has the keyboard: a second request for it is the same one.
    if (auto* open = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        open && open->objectName() == "RowMenu")
        return;
    const QModelIndex current = LV1->currentIndex();
    if (!current.isValid())
        return;
    LV1->setCurrentIndex(current);
    LV1->scrollTo(current);
    // Beneath the start of the current row, where the eye is.
    const QRect cell = LV1->visualRect(current);
    popupRowMenu(LV1->viewport()->mapToGlobal(cell.bottomLeft()));
}

void TO_results::popupRowMenu(const QPoint& global) {
    QMenu* menu = MakeRowMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(global);
}

void TO_results::tellCheckChanged(int row) {
    if (!QAccessible::isActive())
        return;
    const QModelIndex shown =
        proxy_->mapFromSource(model_->index(row, RecordListModel::TitleColumn));
    QAccessibleInterface* view = QAccessible::queryAccessibleInterface(LV1);
    QAccessibleTableInterface* table = view ? view->tableInterface() : nullptr;
    QAccessibleInterface* cell =
        shown.isValid() && table ? table->cellAt(shown.row(), shown.column()) : nullptr;
    if (!cell)
        return;
    QAccessible::State changed;
    changed.checked = true;
    QAccessibleStateChangeEvent event(cell, changed);
    QAccessible::updateAccessibility(&event);
}

bool TO_results::eventFilter(QObject* watched, QEvent* event) {
    // The Menu key, as the window system reports it, opens the current row's menu.
    if (watched == LV1 && event->type() == QEvent::ContextMenu &&
        static_cast<QContextMenuEvent*>(event)->reason() == QContextMenuEvent::Keyboard) {
        showRowMenuByKey();
        return true;
    }
    if (watched == LV1 && event->type() == QEvent::KeyPress) {
        auto* keyEvent = static_cast<QKeyEvent*>(event);
        const int key = keyEvent->key();
        if ((key == Qt::Key_Menu && keyEvent->modifiers() == Qt::NoModifier) ||
            (key == Qt::Key_F10 && keyEvent->modifiers() == Qt::ShiftModifier)) {
            showRowMenuByKey();
            return true;
        }
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            OpenSelected();
            return true;
        }
        if (key == Qt::Key_Space && keyEvent->modifiers() == Qt::NoModifier) {
            ToggleSelectedCheck();
            return true;
        }
        if (key == Qt::Key_Delete && keyEvent->modifiers() == Qt::NoModifier) {
            if (SelectedRow() >= 0)
                emit DeleteWanted();
            return true;
        }
        if (keyEvent->matches(QKeySequence::Copy)) {
            CopySelectedAddress();
            return true;
        }
    }
    if (watched == E_find && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape && !E_find->text().isEmpty()) {
        E_find->clear();
        return true;
    }
    return TO_selected_list::eventFilter(watched, event);
}
