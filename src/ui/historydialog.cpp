#include "ui/historydialog.h"

#include "ledger/reprint.h"
#include "ui/failurereport.h"
#include "ui/ledgermodel.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSet>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace tarvel::ui {

HistoryDialog::HistoryDialog(Loader load, Reprinter reprint, QWidget* parent,
                             ListPrinter printLists, ECertificateMaker makeECertificates)
    : QDialog(parent)
    , reprint_(std::move(reprint))
    , printLists_(std::move(printLists))
    , makeECertificates_(std::move(makeECertificates))
{
    setObjectName(u"historyDialog"_s);
    setWindowTitle(tr("Print history"));
    resize(900, 560);
    auto* layout = new QVBoxLayout(this);

    auto* searchRow = new QHBoxLayout;
    search_ = new QLineEdit(this);
    search_->setObjectName(u"txtKensaku"_s);
    search_->setPlaceholderText(tr("Search by name, affiliation, event or race"));
    search_->setClearButtonEnabled(true);
    count_ = new QLabel(this);
    count_->setObjectName(u"lblKensuu"_s);
    searchRow->addWidget(search_, 1);
    searchRow->addWidget(count_);
    layout->addLayout(searchRow);

    model_ = new LedgerModel(this);
    table_ = new QTableView(this);
    table_->setObjectName(u"tblRireki"_s);
    table_->setModel(model_);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setWordWrap(false);
    table_->verticalHeader()->hide();
    // One height for every row: tens of thousands of rows lay out without measuring each.
    table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
    table_->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(table_, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    reprintButton_ = buttons->addButton(tr("Reprint"), QDialogButtonBox::ActionRole);
    reprintButton_->setObjectName(u"cmdSaiInsatu"_s);
    reprintButton_->setEnabled(false);
    if (printLists_) {
        QPushButton* lists =
            buttons->addButton(tr("Print award lists"), QDialogButtonBox::ActionRole);
        lists->setObjectName(u"cmdHyoushouInsatsu"_s);
        connect(lists, &QPushButton::clicked, this, [this] { printListsChosen(); });
    }
    if (makeECertificates_) {
        for (const bool zip : {false, true}) {
            QPushButton* make =
                buttons->addButton(zip ? tr("ZIP of e-certificates") : tr("Make e-certificates"),
                                   QDialogButtonBox::ActionRole);
            make->setObjectName(zip ? u"cmdDenshiZip"_s : u"cmdDenshi"_s);
            connect(make, &QPushButton::clicked, this, [this, zip] {
                runReportingFailure(this, [&] { makeECertificates_(chosenRows(), zip); });
            });
        }
    }
    layout->addWidget(buttons);

    connect(search_, &QLineEdit::textChanged, this, [this](const QString& text) {
        model_->setFilter(text);
        showCount();
    });
    connect(table_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { reprintButton_->setEnabled(table_->selectionModel()->hasSelection()); });
    connect(reprintButton_, &QPushButton::clicked, this, [this] { reprintChosen(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    loader_ = new LedgerLoader(std::move(load), this);
    connect(loader_, &LedgerLoader::loaded, this, &HistoryDialog::showEntries);
    connect(loader_, &LedgerLoader::failed, this,
            [this](const QString& message) { count_->setText(message); });
    count_->setText(tr("Reading the print history…"));
    reload();
}

void HistoryDialog::reload()
{
    loader_->load();
}

void HistoryDialog::showEntries(const QList<LedgerEntry>& entries)
{
    QSet<qint64> chosen;
    for (const QModelIndex& index : table_->selectionModel()->selectedRows())
        chosen.insert(model_->entryAt(index.row()).id);
    const bool first = model_->allEntries().isEmpty();
    model_->setEntries(entries);
    QItemSelection again;
    for (int row = 0; row < model_->rowCount() && !chosen.isEmpty(); ++row) {
        if (chosen.contains(model_->entryAt(row).id))
            again.select(model_->index(row, 0), model_->index(row, LedgerModel::ColumnCount - 1));
    }
    table_->selectionModel()->select(again, QItemSelectionModel::ClearAndSelect);
    if (first)
        table_->resizeColumnsToContents();
    showCount();
    Q_EMIT entriesShown();
}

void HistoryDialog::showCount()
{
    count_->setText(tr("%1 certificate(s)").arg(model_->rowCount()));
}

void HistoryDialog::reprintChosen()
{
    QList<int> rows;
    for (const QModelIndex& index : table_->selectionModel()->selectedRows())
        rows << index.row();
    // Oldest first, as they were printed.
    std::sort(rows.begin(), rows.end(), std::greater<>());
    QList<LedgerEntry> chosen;
    for (int row : rows)
        chosen << model_->entryAt(row);
    // A copy superseded by a later print, or a reprint, stands for the latest copy.
    chosen = latestCopies(chosen, model_->allEntries());
    if (chosen.isEmpty())
        return;
    if (reprintNeedsAsking(chosen)) {
        QSet<int> events;
        for (const LedgerEntry& entry : chosen)
            events.insert(entry.certificate.raceNo);
        QMessageBox question(QMessageBox::Question, windowTitle(),
                             tr("Print %1 certificate(s) of %2 event(s) again?")
                                 .arg(chosen.size())
                                 .arg(events.size()),
                             QMessageBox::Yes | QMessageBox::No, this);
        question.setObjectName(u"reprintQuestion"_s);
        question.setDefaultButton(QMessageBox::No);
        if (question.exec() != QMessageBox::Yes)
            return;
    }
    // The printer may be busy or refuse: told here, the history stays open.
    runReportingFailure(this, [&] { reprint_(chosen); });
    reload();
}

QList<LedgerEntry> HistoryDialog::chosenRows() const
{
    QList<LedgerEntry> chosen;
    for (const QModelIndex& index : table_->selectionModel()->selectedRows())
        chosen << model_->entryAt(index.row());
    return chosen;
}

void HistoryDialog::printListsChosen()
{
    QList<int> races;
    for (const QModelIndex& index : table_->selectionModel()->selectedRows()) {
        const int race = model_->entryAt(index.row()).certificate.raceNo;
        if (!races.contains(race))
            races << race;
    }
    runReportingFailure(this, [&] { printLists_(races); });
}

} // namespace tarvel::ui
