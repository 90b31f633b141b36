#include "ui/ecertcontrols.h"

#include "desk/desk.h"
#include "ui/controlplacing.h"

#include <QCheckBox>

using namespace Qt::StringLiterals;

namespace tarvel::ui {

ECertControls::ECertControls(QWidget& window, QList<QWidget*>& widePart) : QObject(&window)
{
    // Right of the award lists' destination, on the same row.
    switch_ =
        place(new QCheckBox(u"電子賞状も作る"_s, &window), u"chkDenshi"_s, 9690, 7920, 1755, 255);
    widePart << switch_;
    connect(switch_, &QCheckBox::toggled, this, [this](bool on) {
        if (desk_)
            desk_->setECertificates(on);
        Q_EMIT changed();
    });
}

void ECertControls::attach(Desk& desk)
{
    desk_ = &desk;
    desk_->setECertificates(switch_->isChecked());
}

} // namespace tarvel::ui
