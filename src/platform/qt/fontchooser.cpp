#include "platform/qt/fontchooser.h"

#include <QFontDialog>

namespace tarvel {

QString FontChooser::choose(QWidget* parent)
{
    QFontDialog dialog(parent);
    dialog.setObjectName(u"CommonDialog1"_qs);
    if (dialog.exec() == QDialog::Accepted)
        reported_ = dialog.selectedFont().family();
    return reported_;
}

} // namespace tarvel
