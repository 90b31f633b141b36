#include "ui/printprogress.h"

#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace tarvel::ui {

namespace {
constexpr int kShowAfterMilliseconds = 300;
} // namespace

PrintProgress::PrintProgress(QWidget* parent, Modality modality)
    : QDialog(parent)
    , label_(new QLabel(this))
    , bar_(new QProgressBar(this))
{
    setObjectName(u"printProgress"_s);
    setWindowTitle(u"Tarvel"_s);
    if (modality == Modality::Application) {
        setWindowModality(Qt::ApplicationModal);
    } else {
        setWindowModality(Qt::NonModal);
        setAttribute(Qt::WA_ShowWithoutActivating);
    }
    setWindowFlag(Qt::WindowCloseButtonHint, false);
    auto* stop = new QPushButton(tr("Stop"), this);
    stop->setObjectName(u"cmdChuushi"_s);
    stop->setAutoDefault(false);
    connect(stop, &QPushButton::clicked, this, &PrintProgress::reject);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(stop, QDialogButtonBox::RejectRole);
    label_->setMinimumWidth(label_->fontMetrics().averageCharWidth() * 40);
    bar_->setRange(0, 1);
    bar_->setValue(0);
    auto* column = new QVBoxLayout(this);
    column->addWidget(label_);
    column->addWidget(bar_);
    column->addWidget(buttons);
    updateLabel();
    // A short run is over before the dialog would be worth a look.
    QTimer::singleShot(kShowAfterMilliseconds, this, [this] { show(); });
}

void PrintProgress::closeEvent(QCloseEvent* event)
{
    event->ignore();
}

void PrintProgress::reject()
{
    if (stopping_)
        return;
    stopping_ = true;
    if (QPushButton* stop = findChild<QPushButton*>(u"cmdChuushi"_s))
        stop->setEnabled(false);
    updateLabel();
    Q_EMIT stopWanted();
}

void PrintProgress::showProgress(const RunProgress& progress)
{
    progress_ = progress;
    bar_->setMaximum(std::max(1, progress.lastRace));
    bar_->setValue(std::clamp(progress.raceNo, 0, bar_->maximum()));
    updateLabel();
}

void PrintProgress::updateLabel()
{
    const int lastRace = progress_.lastRace;
    QStringList lines{
        tr("Printing: race %1 of %2").arg(std::min(progress_.raceNo, lastRace)).arg(lastRace)};
    if (!progress_.event.isEmpty())
        lines << progress_.event;
    lines << tr("%1 certificate(s) so far").arg(progress_.certificates);
    if (stopping_)
        lines << tr("Stopping after this event...");
    label_->setText(lines.join(u'\n'));
}

} // namespace tarvel::ui
