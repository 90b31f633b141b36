#pragma once
/// The certificate ledger as a table: newest first, filtered as the operator types, and fed
/// from a worker thread.

#include "ledger/ledger.h"
#include "platform/serialworker.h"

#include <QAbstractTableModel>
#include <QList>

#include <functional>

namespace tarvel::ui {

/// Rows are certificates, columns what the history shows (time, race, heat within the
/// event, lane, leg, event, rank, name, affiliation, result, job, state, superseded). The
/// texts of each row are made once, so that a table of tens of thousands of rows scrolls
/// and filters without delay. Superseded copies are shown greyed.
class LedgerModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column {
        Time,
        Race,
        Heat,
        Lane,
        Leg,
        Event,
        Rank,
        Name,
        Affiliation,
        Result,
        Job,
        State,
        Superseded,
        ColumnCount
    };

    explicit LedgerModel(QObject* parent = nullptr);

    /// Replaces the rows; `entries` newest first.
    void setEntries(QList<LedgerEntry> entries);
    /// Shows only the rows whose shown texts of name, affiliation, event title (with its
    /// race and sex) or race hold `text` (case and width of letters aside); empty shows all.
    void setFilter(const QString& text);

    /// The certificate of a row as shown.
    const LedgerEntry& entryAt(int row) const;
    /// Every certificate, shown or not, newest first.
    QList<LedgerEntry> allEntries() const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    struct Row {
        LedgerEntry entry;
        QStringList texts;  ///< one per column
        QString searchable; ///< the searched texts, folded
    };

    QList<Row> rows_;
    QList<int> shown_; ///< indexes into rows_
    QString filter_;
};

/// A text folded for searching: full-width letters and digits as half-width, lower case.
QString searchFolded(const QString& text);

/// Reads the ledger on a thread of its own and delivers the rows by a queued signal, so that
/// the window never waits for the file (another desk may hold it for seconds).
class LedgerLoader final : public QObject {
    Q_OBJECT
public:
    /// Called on the loader's thread; throws tarvel::Failure when the ledger cannot be read.
    using Query = std::function<QList<LedgerEntry>()>;

    explicit LedgerLoader(Query query, QObject* parent = nullptr);
    ~LedgerLoader() override;

    /// Reads again. A request made while a read is under way is answered by one more read
    /// after it.
    void load();

Q_SIGNALS:
    /// On the loader's thread (the one that made it).
    void loaded(const QList<tarvel::LedgerEntry>& entries);
    void failed(const QString& message);

private:
    void readNow();

    Query query_;
    bool reading_ = false;
    bool again_ = false;
    SerialWorker<void> worker_; ///< last: it goes first, finishing the read under way
};

} // namespace tarvel::ui
