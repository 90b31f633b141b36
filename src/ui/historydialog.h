#pragma once
/// 印刷履歴: the certificates printed, searchable, and chosen ones printed again.

#include "ledger/ledger.h"
#include "ledger/reprint.h"

#include <QDialog>

#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace tarvel::ui {

class LedgerLoader;
class LedgerModel;

// The guard of large reprints is the ledger's, shared with the venue page's desk.
using tarvel::kReprintWithoutAsking;
using tarvel::reprintNeedsAsking;

/// A table of the ledger's certificates, newest first, with a search box that filters on
/// the texts shown (name, affiliation, event title with its race and sex, race) as the
/// operator types. The ledger is read on a worker thread (`load` runs there); the rows
/// arrive when read, and reload() reads again (when job states change, after a reprint)
/// keeping the rows chosen. 再印刷 prints the latest copy of each row chosen (`reprint`),
/// asking first with the count when reprintNeedsAsking(). 表彰者一覧を印刷 (when a list
/// printer is given) prints the award lists of the events of the rows chosen, or of every
/// event printed when none is chosen. 電子賞状を作る and 電子賞状のZIP (when a maker is given)
/// make the e-certificates of the rows chosen, or of all, and the affiliations' ZIPs.
class HistoryDialog final : public QDialog {
    Q_OBJECT
public:
    using Loader = std::function<QList<LedgerEntry>()>;
    using Reprinter = std::function<void(const QList<LedgerEntry>&)>;
    /// The events by their last heats; empty for every event printed.
    using ListPrinter = std::function<void(const QList<int>&)>;
    /// The rows chosen (none: every certificate printed), and whether to write the ZIPs of
    /// their affiliations as well.
    using ECertificateMaker = std::function<void(const QList<LedgerEntry>&, bool zip)>;

    HistoryDialog(Loader load, Reprinter reprint, QWidget* parent = nullptr,
                  ListPrinter printLists = {}, ECertificateMaker makeECertificates = {});

    LedgerModel& model() { return *model_; }

public Q_SLOTS:
    /// Reads the ledger again in the background; the table follows when the rows arrive.
    void reload();
    /// Shows rows read elsewhere (another loader), keeping the search and the rows chosen.
    void showEntries(const QList<tarvel::LedgerEntry>& entries);

Q_SIGNALS:
    /// Rows have been shown (after each read).
    void entriesShown();

private:
    void reprintChosen();
    void printListsChosen();
    QList<LedgerEntry> chosenRows() const;
    void showCount();

    Reprinter reprint_;
    ListPrinter printLists_;
    ECertificateMaker makeECertificates_;
    LedgerLoader* loader_ = nullptr;
    LedgerModel* model_ = nullptr;
    QLineEdit* search_ = nullptr;
    QTableView* table_ = nullptr;
    QLabel* count_ = nullptr;
    QPushButton* reprintButton_ = nullptr;
};

} // namespace tarvel::ui
