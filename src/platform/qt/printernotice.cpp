#include "platform/qt/printernotice.h"

#include "platform/words.h"

#include <cups/cups.h>

#include <algorithm>
#include <iterator>

namespace tarvel {

namespace {

QString askAction()
{
    return Words::tr("asking the printer's state");
}

/// The keyword without its severity suffix.
QString reasonBase(const QString& keyword)
{
    for (const QString& suffix : {u"-error"_qs, u"-warning"_qs, u"-report"_qs}) {
        if (keyword.endsWith(suffix))
            return keyword.chopped(suffix.size());
    }
    return keyword;
}

/// Reasons that stop the paper even when the printer does not add "-error".
bool stopsPaper(const QString& base)
{
    static const QStringList kStopping = {
        u"media-empty"_qs, u"media-jam"_qs,   u"media-needed"_qs,        u"door-open"_qs,
        u"cover-open"_qs,  u"toner-empty"_qs, u"marker-supply-empty"_qs, u"offline"_qs,
        u"paused"_qs,      u"shutdown"_qs,    u"interlock-open"_qs,      u"output-area-full"_qs,
    };
    return kStopping.contains(base);
}

QStringList strings(ipp_attribute_t* attribute)
{
    QStringList values;
    for (int i = 0; attribute && i < ippGetCount(attribute); ++i)
        values << QString::fromUtf8(ippGetString(attribute, i, nullptr));
    return values;
}

} // namespace

bool PrinterNotice::needsAttention() const
{
    if (stopped)
        return true;
    return std::any_of(reasonKeywords.begin(), reasonKeywords.end(), [](const QString& keyword) {
        return keyword.endsWith(u"-error"_qs)
               || (!keyword.endsWith(u"-warning"_qs) && !keyword.endsWith(u"-report"_qs)
                   && stopsPaper(keyword));
    });
}

QString describeReason(const QString& keyword)
{
    const QString base = reasonBase(keyword);
    if (base == u"media-empty"_qs)
        return Words::tr("out of paper");
    if (base == u"media-jam"_qs)
        return Words::tr("paper jam");
    if (base == u"media-needed"_qs)
        return Words::tr("paper needed");
    if (base == u"door-open"_qs || base == u"cover-open"_qs || base == u"interlock-open"_qs)
        return Words::tr("a cover is open");
    if (base == u"toner-empty"_qs || base == u"marker-supply-empty"_qs)
        return Words::tr("out of toner or ink");
    if (base == u"toner-low"_qs || base == u"marker-supply-low"_qs)
        return Words::tr("toner or ink low");
    if (base == u"offline"_qs)
        return Words::tr("offline");
    if (base == u"paused"_qs)
        return Words::tr("paused");
    if (base == u"shutdown"_qs)
        return Words::tr("shut down");
    if (base == u"output-area-full"_qs)
        return Words::tr("output tray full");
    return keyword;
}

PrinterNotice askPrinter(const QString& printer, const cups::SchedulerSettings& settings,
                         cups::CancelFlag* cancel)
{
    cups::Connection connection(settings, cancel, askAction());
    ipp_t* request = connection.newRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    char uri[HTTP_MAX_URI];
    // The scheduler finds classes under /printers/ as well.
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", ippPort(),
                     "/printers/%s", printer.toUtf8().constData());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
    static const char* const kAttributes[] = {"printer-state", "printer-state-reasons",
                                              "queued-job-count"};
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                  int(std::size(kAttributes)), nullptr, kAttributes);
    ipp_t* response = connection.call(request);
    if (!response) {
        if (connection.wasNotFound())
            throw Failure::ofPrinter(askAction(), printer,
                                     Words::tr("the print scheduler %1 does not know this printer")
                                         .arg(connection.server()));
        throw connection.failure(askAction(), printer);
    }
    PrinterNotice notice;
    notice.printer = printer;
    if (ipp_attribute_t* state = ippFindAttribute(response, "printer-state", IPP_TAG_ENUM))
        notice.stopped = ippGetInteger(state, 0) == IPP_PSTATE_STOPPED;
    for (const QString& keyword :
         strings(ippFindAttribute(response, "printer-state-reasons", IPP_TAG_KEYWORD))) {
        if (keyword == u"none"_qs)
            continue;
        notice.reasonKeywords << keyword;
        notice.reasons << describeReason(keyword);
    }
    if (ipp_attribute_t* queued = ippFindAttribute(response, "queued-job-count", IPP_TAG_INTEGER))
        notice.waitingJobs = ippGetInteger(queued, 0);
    ippDelete(response);
    return notice;
}

QString describePrinterNotice(const PrinterNotice& notice)
{
    const QString reasons =
        notice.reasons.isEmpty() ? Words::tr("no reason given") : notice.reasons.join(u", "_qs);
    return (notice.stopped ? Words::tr("the printer %1 is stopped (%2); %3 job(s) wait on it")
                           : Words::tr("the printer %1 needs attention (%2); %3 job(s) wait on it"))
        .arg(notice.printer, reasons)
        .arg(notice.waitingJobs);
}

} // namespace tarvel
