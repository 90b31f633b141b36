#include "ui/failurereport.h"

#include <QCoreApplication>
#include <QMessageBox>

using namespace Qt::StringLiterals;

namespace tarvel::ui {

QString failureText(const Failure& failure)
{
    QString action = failure.action();
    if (!action.isEmpty())
        action[0] = action[0].toUpper();
    QString text = action + u" failed."_s;
    if (!failure.path().isEmpty())
        text += u"\n\nFile: "_s + failure.path();
    if (!failure.reason().isEmpty())
        text += (failure.path().isEmpty() ? u"\n\nReason: "_s : u"\nReason: "_s) + failure.reason();
    return text;
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
        QCoreApplication::translate("FailureReport",
                                    "The layout file could not be read whole: %1.\n\nFile: %2\n\n"
                                    "The fields before field %3 were loaded; from field %3 on, "
                                    "the defaults were put in and written to the file. Check "
                                    "the layout before printing.")
            .arg(session.layoutLoad.why,
                 session.where.dataFile(QString::fromUtf16(kLayoutFileName)))
            .arg(session.layoutLoad.field);
    auto* box = new QMessageBox(QMessageBox::Warning, u"Tarvel"_s, text, QMessageBox::Ok, parent);
    box->setObjectName(u"layoutRepair"_s);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

} // namespace tarvel::ui
