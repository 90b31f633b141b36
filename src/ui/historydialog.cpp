#include "ui/historydialog.h"

#include "ui/failurereport.h"
#include "ui/ledgermodel.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace tarvel::ui {

HistoryDialog::HistoryDialog(Loader load, Reprinter reprint, QWidget* parent)
    : QDialog(parent)
    , load_(std::move(load))
    , reprint_(std::move(reprint))
{
    setObjectName(u"historyDialog"_s);
    setWindowTitle(tr("Print history"));
    resize(900, 560);
    auto* layout = new QVBoxLayout(this);

    auto* searchRow = new QHBoxLayout;
    search_ = new QLineEdit(this);
    search_->setObjectName(u"txtKensaku"_s);
    search_->setPlaceholderText(tr("Search by name, affiliation or event"));
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
    layout->addWidget(buttons);

    connect(search_, &QLineEdit::textChanged, this, [this](const QString& text) {
        model_->setFilter(text);
        showCount();
    });
    connect(table_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { reprintButton_->setEnabled(table_->selectionModel()->hasSelection()); });
    connect(reprintButton_, &QPushButton::clicked, this, [this] { reprintChosen(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    reload();
}

void HistoryDialog::reload()
{
    model_->setEntries(load_());
    model_->setFilter(search_->text());
    table_->resizeColumnsToContents();
    showCount();
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
    if (chosen.isEmpty())
        return;
    // The printer may be busy or refuse: told here, the history stays open.
    runReportingFailure(this, [&] { reprint_(chosen); });
    reload();
}

} // namespace tarvel::ui
