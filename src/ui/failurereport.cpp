#include "ui/failurereport.h"

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

} // namespace tarvel::ui
