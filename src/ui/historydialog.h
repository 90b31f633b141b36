#pragma once
/// 印刷履歴: the certificates printed, searchable, and chosen ones printed again.

#include "ledger/ledger.h"

#include <QDialog>

#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace tarvel::ui {

class LedgerModel;

/// A table of the ledger's certificates, newest first, with a search box that filters on
/// name, affiliation and event as the operator types. The rows chosen are printed again as
/// one document by 再印刷 (`reprint`), after which the table is read again.
class HistoryDialog final : public QDialog {
    Q_OBJECT
public:
    using Loader = std::function<QList<LedgerEntry>()>;
    using Reprinter = std::function<void(const QList<LedgerEntry>&)>;

    HistoryDialog(Loader load, Reprinter reprint, QWidget* parent = nullptr);

    /// Reads the ledger again.
    void reload();
    LedgerModel& model() { return *model_; }

private:
    void reprintChosen();
    void showCount();

    Loader load_;
    Reprinter reprint_;
    LedgerModel* model_ = nullptr;
    QLineEdit* search_ = nullptr;
    QTableView* table_ = nullptr;
    QLabel* count_ = nullptr;
    QPushButton* reprintButton_ = nullptr;
};

} // namespace tarvel::ui
