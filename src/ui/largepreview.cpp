#include "ui/largepreview.h"

#include "desk/desk.h"
#include "layout/layoutini.h"
#include "platform/paths.h"
#include "platform/printeroffset.h"
#include "platform/qt/backdropimage.h"
#include "ui/failurereport.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

namespace tarvel::ui {

namespace {

using namespace Qt::StringLiterals;

constexpr int kWidestTwips = 30000;
constexpr int kLargestOffset = 2880;
constexpr int kPanelWidth = 220;

template <class W>
W* named(W* widget, const QString& name)
{
    widget->setObjectName(name);
    return widget;
}

QSpinBox* twipsBox(const QString& name, int minimum, int maximum)
{
    auto* box = named(new QSpinBox, name);
    box->setRange(minimum, maximum);
    box->setSingleStep(kSnapTwips);
    return box;
}

QPushButton* button(const QString& name, const QString& caption,
                    const std::function<void()>& clicked, QObject* context)
{
    auto* pushButton = named(new QPushButton(caption), name);
    // Enter in a number box commits the number; it must never press a button of the panel.
    pushButton->setAutoDefault(false);
    QObject::connect(pushButton, &QPushButton::clicked, context, clicked);
    return pushButton;
}

} // namespace

LargePreview::LargePreview(DesignerLinks links, Session& session, Desk& desk, QWidget* parent)
    : QDialog(parent)
    , links_(std::move(links))
    , session_(session)
    , desk_(desk)
{
    setObjectName(u"largePreview"_s);
    setWindowTitle(tr("Tarvel: layout"));
    setModal(false);
    dragger_ = named(new ItemDragger(links_.layout, this), u"itemDragger"_s);
    connect(dragger_, &ItemDragger::selectionChanged, this, &LargePreview::selectionChanged);
    connect(&loader_, &BackdropLoader::loaded, this, &LargePreview::backdropRead);
    connect(&loader_, &BackdropLoader::failed, this, &LargePreview::backdropRefused);
    connect(&desk_, &Desk::runFinished, this, &LargePreview::calibrationPrinted);
    connect(&desk_, &Desk::targetKnown, this, &LargePreview::showCalibratedPrinter);

    auto* panel = new QVBoxLayout;
    panel->addWidget(buildItemPanel());
    panel->addWidget(buildBackdropPanel());
    panel->addWidget(buildCalibrationPanel());
    panel->addStretch();
    auto* whole = new QHBoxLayout(this);
    whole->addWidget(dragger_, 1);
    whole->addLayout(panel);
    resize(760, 860);
    selectionChanged();
}

QGroupBox* LargePreview::buildItemPanel()
{
    auto* group = new QGroupBox(tr("Item"));
    group->setFixedWidth(kPanelWidth);
    selectedItem_ = named(new QLabel, u"selectedItem"_s);
    maxWidth_ = twipsBox(u"maxWidth"_s, 0, kWidestTwips);
    maxWidth_->setSpecialValueText(tr("no limit"));
    // A typed width is one edit (one undo step), taken on Enter or when the box is left.
    maxWidth_->setKeyboardTracking(false);
    connect(maxWidth_, &QSpinBox::valueChanged, this, [this](int width) {
        const std::optional<int> item = dragger_->selectedItem();
        if (!item || filling_)
            return;
        Placement placement = placementOf(links_.layout.layout(), *item);
        if (placement.maxWidth == width)
            return;
        placement.maxWidth = width;
        dragger_->apply(placement);
    });
    auto* form = new QFormLayout(group);
    form->addRow(selectedItem_);
    form->addRow(tr("Widest (twips)"), maxWidth_);
    form->addRow(button(
        u"undo"_s, tr("Undo"), [this] { dragger_->undo(); }, this));
    auto* hint = new QLabel(tr("Drag an item to move it, its right edge to set its widest. "
                               "Arrow keys move by 10 twips, with Shift by 100; Shift while "
                               "dragging places freely."));
    hint->setWordWrap(true);
    form->addRow(hint);
    return group;
}

QGroupBox* LargePreview::buildBackdropPanel()
{
    auto* group = new QGroupBox(tr("Blank certificate behind"));
    group->setFixedWidth(kPanelWidth);
    opacity_ = named(new QSlider(Qt::Horizontal), u"backdropOpacity"_s);
    opacity_->setRange(0, 100);
    opacity_->setValue(qRound(session_.backdrop.opacity * 100));
    connect(opacity_, &QSlider::valueChanged, this, [this](int percent) {
        guarded([this, percent] {
            session_.backdrop.opacity = percent / 100.0;
            applyBackdrop();
            if (!session_.backdrop.image.isEmpty())
                saveBackdrop(session_.where, session_.backdrop);
        });
    });
    const auto choose = [this] { chooseBackdropFile(); };
    const auto clear = [this] {
        guarded([this] {
            saveBackdrop(session_.where, Backdrop{});
            loader_.cancel();
            session_.backdrop.image.clear();
            backdrop_ = QImage();
            applyBackdrop();
            tellBackdrop(QString(), QString());
        });
    };
    backdropState_ = named(new QLabel, u"backdropState"_s);
    backdropState_->setWordWrap(true);
    auto* form = new QFormLayout(group);
    form->addRow(button(u"chooseBackdrop"_s, tr("Choose..."), choose, this));
    form->addRow(button(u"clearBackdrop"_s, tr("None"), clear, this));
    form->addRow(tr("Strength"), opacity_);
    form->addRow(backdropState_);
    return group;
}

QGroupBox* LargePreview::buildCalibrationPanel()
{
    auto* group = new QGroupBox(tr("Printer calibration"));
    group->setFixedWidth(kPanelWidth);
    offsetX_ = twipsBox(u"offsetX"_s, -kLargestOffset, kLargestOffset);
    offsetY_ = twipsBox(u"offsetY"_s, -kLargestOffset, kLargestOffset);
    calibrationGroup_ = group;
    const auto save = [this] { guarded([this] { saveOffset(); }); };
    const auto print = [this] { guarded([this] { printCalibration(); }); };
    auto* form = new QFormLayout(group);
    calibratedPrinter_ = named(new QLabel, u"calibratedPrinter"_s);
    calibratedPrinter_->setWordWrap(true);
    form->addRow(calibratedPrinter_);
    form->addRow(tr("Offset X (twips)"), offsetX_);
    form->addRow(tr("Offset Y (twips)"), offsetY_);
    form->addRow(button(u"saveOffset"_s, tr("Keep the offset"), save, this));
    form->addRow(button(u"printCalibration"_s, tr("Print the calibration page"), print, this));
    calibrationState_ = named(new QLabel, u"calibrationState"_s);
    calibrationState_->setWordWrap(true);
    form->addRow(calibrationState_);
    showCalibratedPrinter();
    return group;
}

void LargePreview::showCalibratedPrinter()
{
    // The default printer's name arrives once the desk has looked it up.
    const bool printer = desk_.targetKind() == PrintTargetKind::Printer;
    const QString name = desk_.targetWhere();
    const PageOffset offset = printer && !name.isEmpty() ? loadPrinterOffset(name) : PageOffset{};
    offsetX_->setValue(offset.x);
    offsetY_->setValue(offset.y);
    calibratedPrinter_->setText(printer ? (name.isEmpty() ? tr("Looking the printer up...") : name)
                                        : tr("No printer: PDF files are never moved."));
    calibrationGroup_->setEnabled(printer && !name.isEmpty());
}

void LargePreview::selectionChanged()
{
    const std::optional<int> item = dragger_->selectedItem();
    selectedItem_->setText(item ? itemCaption(*item) : tr("Click an item to select it."));
    // Filled, not edited; the box keeps the focus (the operator may be typing in it).
    const int width = item ? links_.layout.layout().items[*item].maxWidth : 0;
    if (maxWidth_->value() != width) {
        filling_ = true;
        maxWidth_->setValue(width);
        filling_ = false;
    }
    maxWidth_->setEnabled(item.has_value());
}

void LargePreview::applyBackdrop()
{
    dragger_->surface().setBackdrop(backdrop_, session_.backdrop.opacity);
    links_.showBackdrop(backdrop_, session_.backdrop.opacity);
}

void LargePreview::saveOffset()
{
    const PageOffset offset{offsetX_->value(), offsetY_->value()};
    savePrinterOffset(desk_.targetWhere(), offset);
    links_.printerCalibrated();
    calibrationState_->setText(tr("Kept for %1: X %2, Y %3 twips; the next pages printed there "
                                  "are moved by it.")
                                   .arg(desk_.targetWhere())
                                   .arg(offset.x)
                                   .arg(offset.y));
}

void LargePreview::printCalibration()
{
    desk_.start(desk_.newRequest(RunKind::CalibrationPage));
    calibrationState_->setText(tr("Printing the calibration page..."));
}

void LargePreview::calibrationPrinted(const RunOutcome& outcome)
{
    if (outcome.kind != RunKind::CalibrationPage)
        return;
    if (outcome.failure) {
        calibrationState_->setText(failureText(*outcome.failure));
        return;
    }
    if (outcome.deliveries.isEmpty())
        return;
    const Delivery& delivery = outcome.deliveries.front();
    calibrationState_->setText(
        delivery.jobId > 0
            ? tr("The calibration page went to %1 (job %2).")
                  .arg(delivery.destination)
                  .arg(delivery.jobId)
            : tr("The calibration page was written to %1.").arg(delivery.destination));
}

void LargePreview::chooseBackdropFile()
{
    // Qt's own dialog: it speaks the window's language whatever the desktop's.
    QFileDialog dialog(this, tr("Blank certificate"), hostPath(session_.where.dataDir),
                       tr("Scans and PDF (*.png *.jpg *.jpeg *.pdf);;All files (*)"));
    dialog.setObjectName(u"backdropFileDialog"_s);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        chooseBackdrop(dialog.selectedFiles().front());
}

void LargePreview::showSessionBackdrop()
{
    backdrop_ = QImage();
    applyBackdrop();
    const QString path = backdropImagePath(session_.where, session_.backdrop);
    if (path.isEmpty()) {
        loader_.cancel();
        return;
    }
    request_ = BackdropRequest::Session;
    loader_.load(path);
}

void LargePreview::chooseBackdrop(const QString& hostImagePath)
{
    request_ = BackdropRequest::Choice;
    loader_.load(hostImagePath);
}

void LargePreview::backdropRead(const QString& path, const QImage& image)
{
    if (request_ == BackdropRequest::Choice) {
        bool saved = false;
        guarded([&] {
            const Backdrop chosen = backdropFor(session_.where, path, opacity_->value() / 100.0);
            saveBackdrop(session_.where, chosen);
            session_.backdrop = chosen;
            saved = true;
        });
        if (!saved)
            return;
    }
    backdrop_ = image;
    applyBackdrop();
    tellBackdrop(QString(), QString());
}

void LargePreview::backdropRefused(const Failure& failure)
{
    if (request_ == BackdropRequest::Choice) {
        reportFailure(this, failure); // the backdrop in force stays
        return;
    }
    backdrop_ = QImage();
    applyBackdrop();
    // The status line is short: the file's name; the whole account on hovering.
    tellBackdrop(tr("Blank certificate not shown: %1").arg(QFileInfo(failure.path()).fileName()),
                 failureText(failure));
}

void LargePreview::tellBackdrop(const QString& line, const QString& detail)
{
    backdropState_->setText(detail);
    links_.tellBackdrop(line, detail);
}

void LargePreview::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    links_.visibilityChanged();
}

void LargePreview::hideEvent(QHideEvent* event)
{
    QDialog::hideEvent(event);
    links_.visibilityChanged();
}

void LargePreview::guarded(const std::function<void()>& handler)
{
    runReportingFailure(this, handler);
}

} // namespace tarvel::ui
