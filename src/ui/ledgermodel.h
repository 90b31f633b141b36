#pragma once
/// The certificate ledger as a table: newest first, filtered as the operator types.

#include "ledger/ledger.h"

#include <QAbstractTableModel>
#include <QList>

namespace tarvel::ui {

/// Rows are certificates, columns what the history shows (time, race, event, rank, name,
/// affiliation, result, job, state). The texts of each row are made once, so that a table
/// of tens of thousands of rows scrolls and filters without delay.
class LedgerModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Time, Race, Event, Rank, Name, Affiliation, Result, Job, State, ColumnCount };

    explicit LedgerModel(QObject* parent = nullptr);

    /// Replaces the rows; `entries` newest first.
    void setEntries(QList<LedgerEntry> entries);
    /// Shows only the rows whose name, affiliation or event holds `text` (case and width of
    /// letters aside); empty shows all.
    void setFilter(const QString& text);

    /// The certificate of a row as shown.
    const LedgerEntry& entryAt(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    struct Row {
        LedgerEntry entry;
        QStringList texts;  ///< one per column
        QString searchable; ///< name, affiliation and event, folded for searching
    };

    QList<Row> rows_;
    QList<int> shown_; ///< indexes into rows_
};

/// A text folded for searching: full-width letters and digits as half-width, lower case.
QString searchFolded(const QString& text);

} // namespace tarvel::ui
