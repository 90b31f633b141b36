#include "ui/failurereport.h"

#include "platform/words.h"

#include <QMessageBox>

using namespace Qt::StringLiterals;

namespace tarvel::ui {

QString failureText(const Failure& failure)
{
    QString action = failure.action();
    // An English action begins the sentence; other languages have no capitals to mind.
    if (!action.isEmpty())
        action[0] = action[0].toUpper();
    QStringList lines{Words::tr("%1 failed.").arg(action)};
    if (!failure.path().isEmpty() || !failure.reason().isEmpty())
        lines << QString();
    if (!failure.path().isEmpty())
        lines << (failure.subject() == Failure::Subject::Printer
                      ? Words::tr("Printer: %1").arg(failure.path())
                      : Words::tr("File: %1").arg(failure.path()));
    if (!failure.reason().isEmpty())
        lines << Words::tr("Reason: %1").arg(failure.reason());
    return lines.join(u'\n');
}

void reportFailure(QWidget* parent, const Failure& failure)
{
    QMessageBox::critical(parent, u"Tarvel"_s, failureText(failure));
}

void runReportingFailure(QWidget* parent, const std::function<void()>& handler)
{
    try {
        handler();
    } catch (const Failure& failure) {
        reportFailure(parent, failure);
    }
}

void showLayoutRepair(QWidget* parent, const Session& session)
{
    const QString text =
        Words::tr("The layout file could not be read whole: %1.\n\nFile: %2\n\nThe fields "
                  "before field %3 were loaded; from field %3 on, the defaults were put in and "
                  "written to the file. Check the layout before printing.")
            .arg(session.layoutLoad.why,
                 session.where.dataFile(QString::fromUtf16(kLayoutFileName)))
            .arg(session.layoutLoad.field);
    auto* box = new QMessageBox(QMessageBox::Warning, u"Tarvel"_s, text, QMessageBox::Ok, parent);
    box->setObjectName(u"layoutRepair"_s);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

} // namespace tarvel::ui
