#pragma once
/// The ledger's certificates as text: one line each, or a CSV file for a spreadsheet.

#include "ledger/ledger.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace tarvel {

/// A job state as the history shows it ("canceled", in the program's language).
QString jobStateText(JobState state);

/// What a document carried, as the history shows it ("award list", in the program's
/// language).
QString documentKindText(DocumentKind kind);

/// The columns of the history, in order, as the operator reads them.
QStringList historyHeader();
/// One certificate's cells, in the order of historyHeader(): printed at, race swum in, heat
/// within the event (empty when not known), lane (from 1), leg (from 1, empty for an
/// individual event), event title, rank, name, affiliation, result, document, destination,
/// job, state, certificate, reprint of, superseded (empty for a latest copy), requested by,
/// the document's kind.
QStringList historyCells(const LedgerEntry& entry);
/// A document without certificates (an award list, a test page) in the same columns: its
/// title as the event, the certificate's cells empty.
QStringList historyCells(const LedgerDocumentEntry& document);

/// The history's rows: the certificates, and the documents that carried none, newest first.
QList<QStringList> historyRows(const QList<LedgerEntry>& entries,
                               const QList<LedgerDocumentEntry>& documents);

/// One line: the cells joined by two blanks, empty ones left out.
QString historyLine(const LedgerEntry& entry);
QString historyLine(const QStringList& cells);

/// A CSV file of the entries with a header row, UTF-8 with a byte-order mark (so that the
/// spreadsheet programs of the meet's Windows machines read the Japanese right), lines ending
/// in CR LF. Cells are quoted where they hold a comma, quote or line break; a cell that a
/// spreadsheet would take for a formula (beginning with =, +, -, @, a tab or a CR) is made
/// plain text with a leading apostrophe.
QByteArray historyCsv(const QList<LedgerEntry>& entries);
QByteArray historyCsv(const QList<QStringList>& rows);

/// One CSV cell, escaped as above.
QString csvCell(const QString& text);

} // namespace tarvel
