#include "ledger/historyexport.h"

#include "layout/certificateitems.h"
#include "platform/words.h"

namespace tarvel {

QString jobStateText(JobState state)
{
    switch (state) {
    case JobState::Pending: return Words::tr("pending");
    case JobState::Held: return Words::tr("held");
    case JobState::Processing: return Words::tr("printing");
    case JobState::Stopped: return Words::tr("stopped");
    case JobState::Canceled: return Words::tr("canceled");
    case JobState::Aborted: return Words::tr("aborted");
    case JobState::Completed: return Words::tr("completed");
    case JobState::Written: return Words::tr("written");
    }
    return {};
}

QStringList historyHeader()
{
    return {Words::tr("Printed at"), Words::tr("Race"),       Words::tr("Heat"),
            Words::tr("Lane"),       Words::tr("Leg"),        Words::tr("Event"),
            Words::tr("Rank"),       Words::tr("Name"),       Words::tr("Affiliation"),
            Words::tr("Result"),     Words::tr("Document"),   Words::tr("Destination"),
            Words::tr("Job"),        Words::tr("State"),      Words::tr("Certificate"),
            Words::tr("Reprint of"), Words::tr("Superseded"), Words::tr("Requested by")};
}

QStringList historyCells(const LedgerEntry& entry)
{
    const LedgerCertificate& c = entry.certificate;
    const LedgerDocument& d = entry.document;
    return {d.printedAt.toString(u"yyyy-MM-dd HH:mm:ss"_qs),
            QString::number(c.heat),
            c.heatInEvent > 0 ? QString::number(c.heatInEvent) : QString(),
            QString::number(c.lane + 1),
            c.leg ? QString::number(*c.leg + 1) : QString(),
            eventTitleOf(entry),
            c.items[kItemRank].trimmed(),
            c.items[kItemName].trimmed(),
            c.items[kItemAffiliation].trimmed(),
            c.items[kItemResult].trimmed(),
            d.title,
            d.destination,
            d.jobId > 0 ? QString::number(d.jobId) : QString(),
            jobStateText(d.state),
            QString::number(entry.id),
            c.reprintOf ? QString::number(*c.reprintOf) : QString(),
            entry.superseded ? Words::tr("superseded by a later print") : QString(),
            d.requestedBy};
}

QString historyLine(const LedgerEntry& entry)
{
    QStringList cells = historyCells(entry);
    cells.removeAll(QString());
    return cells.join(u"  "_qs);
}

QString csvCell(const QString& text)
{
    QString cell = text;
    if (!cell.isEmpty() && QStringView(u"=+-@\t\r").contains(cell.front()))
        cell.prepend(u'\'');
    if (cell.contains(u',') || cell.contains(u'"') || cell.contains(u'\n')
        || cell.contains(u'\r')) {
        cell.replace(u"\""_qs, u"\"\""_qs);
        cell = u'"' + cell + u'"';
    }
    return cell;
}

QByteArray historyCsv(const QList<LedgerEntry>& entries)
{
    const auto row = [](const QStringList& cells) {
        QStringList escaped;
        for (const QString& cell : cells)
            escaped << csvCell(cell);
        return escaped.join(u',') + u"\r\n"_qs;
    };
    QString csv = row(historyHeader());
    for (const LedgerEntry& entry : entries)
        csv += row(historyCells(entry));
    return "\xEF\xBB\xBF" + csv.toUtf8();
}

} // namespace tarvel
