#include "ui/ledgermodel.h"

#include "ledger/historyexport.h"

namespace tarvel::ui {

namespace {

// The cells of historyCells() each column shows.
constexpr int kCellOf[LedgerModel::ColumnCount] = {0, 1, 5, 6, 7, 8, 9, 10, 13};

} // namespace

QString searchFolded(const QString& text)
{
    // NFKC turns full-width Latin letters and digits into half-width ones, so "ＳＣ" is
    // found by "sc"; kana stay as they are.
    return text.normalized(QString::NormalizationForm_KC).toCaseFolded();
}

LedgerModel::LedgerModel(QObject* parent) : QAbstractTableModel(parent) {}

void LedgerModel::setEntries(QList<LedgerEntry> entries)
{
    beginResetModel();
    rows_.clear();
    rows_.reserve(entries.size());
    shown_.clear();
    for (LedgerEntry& entry : entries) {
        const QStringList cells = historyCells(entry);
        Row row{std::move(entry), {}, {}};
        for (int cell : kCellOf)
            row.texts << cells[cell];
        row.searchable = searchFolded(row.texts[Name] + u'\n' + row.texts[Affiliation] + u'\n'
                                      + row.texts[Event]);
        shown_.append(int(rows_.size()));
        rows_.append(std::move(row));
    }
    endResetModel();
}

void LedgerModel::setFilter(const QString& text)
{
    const QString wanted = searchFolded(text.trimmed());
    beginResetModel();
    shown_.clear();
    for (int i = 0; i < rows_.size(); ++i) {
        if (wanted.isEmpty() || rows_[i].searchable.contains(wanted))
            shown_.append(i);
    }
    endResetModel();
}

const LedgerEntry& LedgerModel::entryAt(int row) const
{
    return rows_[shown_[row]].entry;
}

int LedgerModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(shown_.size());
}

int LedgerModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant LedgerModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || role != Qt::DisplayRole)
        return {};
    return rows_[shown_[index.row()]].texts[index.column()];
}

QVariant LedgerModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0
        || section >= ColumnCount)
        return {};
    return historyHeader()[kCellOf[section]];
}

} // namespace tarvel::ui
