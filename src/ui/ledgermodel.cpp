#include "ui/ledgermodel.h"

#include "ledger/historyexport.h"
#include "naming/eventtitle.h"
#include "platform/failure.h"

#include <QBrush>
#include <QPalette>

namespace tarvel::ui {

namespace {

// The cells of historyCells() each column shows; the race is shown as in event titles.
constexpr int kCellOf[LedgerModel::ColumnCount] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 12, 13, 16};

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
    QList<Row> rows;
    rows.reserve(entries.size());
    for (LedgerEntry& entry : entries) {
        const QStringList cells = historyCells(entry);
        Row row{std::move(entry), {}, {}};
        for (int cell : kCellOf)
            row.texts << cells[cell];
        row.texts[Race] = raceLabel(row.entry.certificate.heat);
        row.searchable = searchFolded(row.texts[Name] + u'\n' + row.texts[Affiliation] + u'\n'
                                      + row.texts[Event] + u'\n' + row.texts[Race]);
        rows.append(std::move(row));
    }
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
    setFilter(filter_);
}

void LedgerModel::setFilter(const QString& text)
{
    filter_ = text;
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

QList<LedgerEntry> LedgerModel::allEntries() const
{
    QList<LedgerEntry> entries;
    entries.reserve(rows_.size());
    for (const Row& row : rows_)
        entries.append(row.entry);
    return entries;
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
    if (!index.isValid())
        return {};
    const Row& row = rows_[shown_[index.row()]];
    if (role == Qt::DisplayRole)
        return row.texts[index.column()];
    if (role == Qt::ForegroundRole && row.entry.superseded)
        return QPalette().brush(QPalette::Disabled, QPalette::Text);
    return {};
}

QVariant LedgerModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0
        || section >= ColumnCount)
        return {};
    return historyHeader()[kCellOf[section]];
}

LedgerLoader::LedgerLoader(Query query, QObject* parent) : QObject(parent), query_(std::move(query))
{
}

LedgerLoader::~LedgerLoader() = default;

void LedgerLoader::load()
{
    if (reading_) {
        again_ = true;
        return;
    }
    readNow();
}

void LedgerLoader::readNow()
{
    reading_ = true;
    again_ = false;
    worker_.post([this] {
        QList<LedgerEntry> entries;
        QString trouble;
        try {
            entries = query_();
        } catch (const Failure& failure) {
            trouble = failure.message();
        }
        // Queued to the loader's thread; the destructor waits for this task before the
        // QObject goes, which drops the event if it is still queued.
        QMetaObject::invokeMethod(
            this,
            [this, entries = std::move(entries), trouble] {
                reading_ = false;
                if (trouble.isEmpty())
                    Q_EMIT loaded(entries);
                else
                    Q_EMIT failed(trouble);
                if (again_)
                    readNow();
            },
            Qt::QueuedConnection);
    });
}

} // namespace tarvel::ui
