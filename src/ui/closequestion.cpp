#include "ui/closequestion.h"

#include "platform/words.h"
#include "ui/failurereport.h"

#include <QMessageBox>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace tarvel::ui {

UnsavedLayout askAboutUnsavedLayout(QWidget* parent)
{
    QMessageBox box(QMessageBox::Question, u"Tarvel"_s,
                    Words::tr("The layout was changed and the change is not saved yet. Save "
                              "it before the window closes?"),
                    QMessageBox::NoButton, parent);
    box.setObjectName(u"unsavedLayout"_s);
    QPushButton* save = box.addButton(Words::tr("Save"), QMessageBox::AcceptRole);
    QPushButton* discard = box.addButton(Words::tr("Don't save"), QMessageBox::DestructiveRole);
    QPushButton* cancel = box.addButton(Words::tr("Cancel"), QMessageBox::RejectRole);
    save->setObjectName(u"save"_s);
    discard->setObjectName(u"discard"_s);
    cancel->setObjectName(u"cancel"_s);
    box.setDefaultButton(save);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == save)
        return UnsavedLayout::Save;
    if (box.clickedButton() == discard)
        return UnsavedLayout::Discard;
    return UnsavedLayout::Cancel;
}

bool mayCloseWithLayout(QWidget* parent, bool changed, const std::function<void()>& save)
{
    if (!changed)
        return true;
    switch (askAboutUnsavedLayout(parent)) {
    case UnsavedLayout::Cancel: return false;
    case UnsavedLayout::Discard: return true;
    case UnsavedLayout::Save: break;
    }
    bool saved = false;
    runReportingFailure(parent, [&] {
        save();
        saved = true;
    });
    return saved;
}

} // namespace tarvel::ui
