#include "ledger/ledger.h"

#include <QCoreApplication>
#include <QSysInfo>

namespace tarvel {

// The ledger's words for job states and document kinds, the document a delivery makes, and
// who records: what the ledger's users share besides its file.

namespace {

constexpr const char* kStateWords[] = {"pending",  "held",    "processing", "stopped",
                                       "canceled", "aborted", "completed",  "written"};
constexpr const char* kKindWords[] = {"certificates", "reprint",       "test-page",
                                      "calibration",  "ceremony-list", "e-certificates"};

} // namespace

QString jobStateWord(JobState state)
{
    return QString::fromLatin1(kStateWords[int(state)]);
}

JobState jobStateFromWord(const QString& word)
{
    for (int i = 0; i < int(std::size(kStateWords)); ++i) {
        if (word == QLatin1StringView(kStateWords[i]))
            return JobState(i);
    }
    return JobState::Pending;
}

LedgerDocument deliveredDocument(const Delivery& delivery, const QString& title, DocumentKind kind)
{
    LedgerDocument document;
    document.printedAt = QDateTime::currentDateTime();
    document.title = title;
    document.destination = delivery.destination;
    document.jobId = delivery.jobId;
    document.state = delivery.jobId > 0 ? JobState::Pending : JobState::Written;
    document.kind = kind;
    return document;
}

QString documentKindWord(DocumentKind kind)
{
    return QString::fromLatin1(kKindWords[int(kind)]);
}

DocumentKind documentKindFromWord(const QString& word)
{
    for (int i = 0; i < int(std::size(kKindWords)); ++i) {
        if (word == QLatin1StringView(kKindWords[i]))
            return DocumentKind(i);
    }
    return DocumentKind::Certificates;
}

QString eventTitleOf(const LedgerEntry& entry)
{
    return entry.certificate.eventTitle.isEmpty() ? entry.document.title
                                                  : entry.certificate.eventTitle;
}

bool isFinal(JobState state)
{
    return state == JobState::Canceled || state == JobState::Aborted || state == JobState::Completed
           || state == JobState::Written;
}

QString thisSession()
{
    static const QString session = u"%1/%2/%3"_qs.arg(
        QSysInfo::machineHostName(), QString::number(QCoreApplication::applicationPid()),
        QDateTime::currentDateTime().toString(Qt::ISODate));
    return session;
}

QString thisDesk()
{
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty())
        user = qEnvironmentVariable("USERNAME");
    return user + u'@' + QSysInfo::machineHostName();
}

} // namespace tarvel
