#pragma once
/// The print scheduler (CUPS) as the certificate printer uses it: the default destination,
/// its paper, and jobs sent as PDF. The scheduler is the one the system names (CUPS_SERVER,
/// client.conf, or the local one).

#include <QByteArray>
#include <QMarginsF>
#include <QSizeF>
#include <QString>

#include <optional>

namespace tarvel::cups {

/// A destination's default paper: its size, and the margins of its printable area (left,
/// top, right, bottom), in millimetres.
struct Paper {
    QSizeF size;
    QMarginsF margins;
};

/// The default destination (a printer or a class); nothing when there is none or no
/// scheduler answers.
std::optional<QString> defaultDestination();

/// The destination's default media with its printable area; nothing when the scheduler
/// does not say (a class, a queue without a driver).
std::optional<Paper> defaultPaper(const QString& destination);

/// Sends `pdf` as one job titled `title` to `destination`: the job is created, the document
/// sent and the job closed, each step's answer checked. Returns the job's id once the
/// scheduler has accepted the whole job. Throws tarvel::Failure naming the destination and
/// the scheduler's own reason when any step fails (a queue rejecting jobs, a destination
/// gone, the scheduler unreachable); a job created but not completed is cancelled.
int submitPdf(const QString& destination, const QString& title, const QByteArray& pdf);

} // namespace tarvel::cups
