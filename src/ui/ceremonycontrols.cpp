#include "ui/ceremonycontrols.h"

#include "desk/desk.h"
#include "platform/qt/cupsjobs.h"
#include "platform/words.h"
#include "ui/controlplacing.h"
#include "ui/failurereport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>

using namespace Qt::StringLiterals;

namespace tarvel::ui {

namespace {

/// The entry that opens the folder dialog; the others carry a destination.
constexpr int kChooseFolder = -1;

QVariant dataOf(const CeremonyDestination& destination)
{
    return QVariantList{int(destination.kind), destination.where};
}

CeremonyDestination destinationOf(const QVariant& data)
{
    const QVariantList pair = data.toList();
    if (pair.size() != 2)
        return {};
    return {CeremonyDestinationKind(pair[0].toInt()), pair[1].toString()};
}

} // namespace

CeremonyControls::CeremonyControls(QWidget& window, QList<QWidget*>& widePart)
    : QObject(&window)
    , window_(window)
{
    // Beside the desk strip's bottom row, where the wide part has room.
    switch_ =
        place(new QCheckBox(u"表彰者一覧"_s, &window), u"chkHyoushou"_s, 4440, 7920, 1335, 255);
    destinations_ = place(new QComboBox(&window), u"cmbHyoushouSaki"_s, 5835, 7875, 3795, 330);
    destinations_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    widePart << switch_ << destinations_;

    chosen_ = loadCeremonyDestination();
    switch_->setChecked(loadCeremonyListOn() && chosen_.isOn());
    showChoices({});
    connect(switch_, &QCheckBox::toggled, this, [this](bool on) {
        runReportingFailure(&window_, [&] {
            if (on && !chosen_.isOn()) {
                // Nothing chosen yet: the folder dialog asks where.
                choose(destinations_->currentIndex());
                if (!chosen_.isOn()) {
                    const QSignalBlocker quiet(switch_);
                    switch_->setChecked(false);
                    return;
                }
            }
            saveCeremonyListOn(switch_->isChecked());
            tellDesk();
        });
    });
    connect(destinations_, &QComboBox::activated, this,
            [this](int index) { runReportingFailure(&window_, [&] { choose(index); }); });
}

CeremonyControls::~CeremonyControls()
{
    cancel_.cancel();
}

void CeremonyControls::attach(Desk& desk)
{
    desk_ = &desk;
    tellDesk();
    // The scheduler may keep the caller waiting up to its deadline: never the GUI thread.
    lookups_.post([this] {
        QStringList printers;
        try {
            cups::Connection connection(cups::SchedulerSettings::fromEnvironment(), &cancel_,
                                        Words::tr("listing the printers"));
            printers = cups::destinationNames(connection);
        } catch (const Failure&) {
            // No scheduler, or none answering: the PDF folder remains to choose.
        }
        QMetaObject::invokeMethod(
            this, [this, printers] { showChoices(printers); }, Qt::QueuedConnection);
    });
}

void CeremonyControls::showChoices(const QStringList& printers)
{
    const QSignalBlocker quiet(destinations_);
    destinations_->clear();
    if (chosen_.isOn())
        destinations_->addItem(describeCeremonyDestination(chosen_), dataOf(chosen_));
    for (const QString& printer : printers) {
        const CeremonyDestination destination{CeremonyDestinationKind::Printer, printer};
        if (destination != chosen_)
            destinations_->addItem(describeCeremonyDestination(destination), dataOf(destination));
    }
    destinations_->addItem(Words::tr("PDF folder..."), kChooseFolder);
    destinations_->setCurrentIndex(0);
    destinations_->setToolTip(describeCeremonyDestination(chosen_));
}

void CeremonyControls::choose(int index)
{
    CeremonyDestination destination = destinationOf(destinations_->itemData(index));
    if (index < 0)
        return;
    if (destinations_->itemData(index) == QVariant(kChooseFolder)) {
        const QString start =
            chosen_.kind == CeremonyDestinationKind::PdfFolder ? chosen_.where : QString();
        const QString folder = QFileDialog::getExistingDirectory(
            &window_, Words::tr("Folder for the award lists"), start);
        if (!folder.isEmpty())
            destination = {CeremonyDestinationKind::PdfFolder, folder};
    }
    if (!destination.isOn() || destination == chosen_) {
        destinations_->setCurrentIndex(0); // the dialog was cancelled: as it was
        return;
    }
    saveCeremonyDestination(destination);
    chosen_ = destination;
    QStringList printers;
    for (int i = 0; i < destinations_->count(); ++i) {
        const CeremonyDestination listed = destinationOf(destinations_->itemData(i));
        if (listed.kind == CeremonyDestinationKind::Printer)
            printers << listed.where;
    }
    showChoices(printers);
    tellDesk();
}

void CeremonyControls::tellDesk()
{
    if (desk_)
        desk_->setCeremonyList(switch_->isChecked() ? chosen_ : CeremonyDestination{});
    Q_EMIT changed();
}

} // namespace tarvel::ui
