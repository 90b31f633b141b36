#include "ui/largepreview.h"

#include "layout/calibrationpage.h"
#include "layout/layoutini.h"
#include "platform/paths.h"
#include "platform/printeroffset.h"
#include "platform/qt/backdropimage.h"
#include "ui/failurereport.h"
#include "ui/printeruse.h"

#include <QFileDialog>
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
    QObject::connect(pushButton, &QPushButton::clicked, context, clicked);
    return pushButton;
}

} // namespace

LargePreview::LargePreview(DesignerLinks links, Session& session, PrintTarget& target,
                           PrinterUse& printer, QWidget* parent)
    : QDialog(parent)
    , links_(std::move(links))
    , session_(session)
    , target_(target)
    , printer_(printer)
{
    setObjectName(u"largePreview"_s);
    setWindowTitle(tr("Tarvel: layout"));
    setModal(false);
    dragger_ = named(new ItemDragger(links_.layout, this), u"itemDragger"_s);
    connect(dragger_, &ItemDragger::selectionChanged, this, &LargePreview::selectionChanged);

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
    connect(maxWidth_, &QSpinBox::valueChanged, this, [this](int width) {
        const std::optional<int> item = dragger_->selectedItem();
        if (!item || !maxWidth_->isEnabled())
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
    const auto choose = [this] {
        const QString file = QFileDialog::getOpenFileName(
            this, tr("Blank certificate"), hostPath(session_.where.dataDir),
            tr("Scans and PDF (*.png *.jpg *.jpeg *.pdf);;All files (*)"));
        if (!file.isEmpty())
            guarded([this, file] { chooseBackdrop(file); });
    };
    const auto clear = [this] {
        guarded([this] {
            saveBackdrop(session_.where, Backdrop{});
            session_.backdrop.image.clear();
            backdrop_ = QImage();
            applyBackdrop();
        });
    };
    auto* form = new QFormLayout(group);
    form->addRow(button(u"chooseBackdrop"_s, tr("Choose..."), choose, this));
    form->addRow(button(u"clearBackdrop"_s, tr("None"), clear, this));
    form->addRow(tr("Strength"), opacity_);
    return group;
}

QGroupBox* LargePreview::buildCalibrationPanel()
{
    auto* group = new QGroupBox(tr("Printer calibration"));
    group->setFixedWidth(kPanelWidth);
    offsetX_ = twipsBox(u"offsetX"_s, -kLargestOffset, kLargestOffset);
    offsetY_ = twipsBox(u"offsetY"_s, -kLargestOffset, kLargestOffset);
    const bool printer = target_.kind == PrintTargetKind::Printer;
    const PageOffset offset = printer ? loadPrinterOffset(target_.where) : PageOffset{};
    offsetX_->setValue(offset.x);
    offsetY_->setValue(offset.y);
    const auto save = [this] {
        guarded([this] {
            savePrinterOffset(target_.where, {offsetX_->value(), offsetY_->value()});
            links_.printerCalibrated();
        });
    };
    const auto print = [this] {
        guarded([this] {
            const PrinterUse::Claim claim = printer_.claim(tr("printing the calibration page"));
            printCalibrationPage(*target_.device, target_.where, loadPrinterOffset(target_.where));
        });
    };
    auto* form = new QFormLayout(group);
    auto* printerName =
        named(new QLabel(printer ? target_.where : tr("No printer: PDF files are never moved.")),
              u"calibratedPrinter"_s);
    printerName->setWordWrap(true);
    form->addRow(printerName);
    form->addRow(tr("Offset X (twips)"), offsetX_);
    form->addRow(tr("Offset Y (twips)"), offsetY_);
    form->addRow(button(u"saveOffset"_s, tr("Keep the offset"), save, this));
    form->addRow(button(u"printCalibration"_s, tr("Print the calibration page"), print, this));
    group->setEnabled(printer);
    return group;
}

void LargePreview::selectionChanged()
{
    const std::optional<int> item = dragger_->selectedItem();
    selectedItem_->setText(item ? itemCaption(*item) : tr("Click an item to select it."));
    maxWidth_->setEnabled(false); // filled, not edited
    maxWidth_->setValue(item ? links_.layout.layout().items[*item].maxWidth : 0);
    maxWidth_->setEnabled(item.has_value());
}

void LargePreview::applyBackdrop()
{
    dragger_->surface().setBackdrop(backdrop_, session_.backdrop.opacity);
    links_.showBackdrop(backdrop_, session_.backdrop.opacity);
}

void LargePreview::showSessionBackdrop()
{
    backdrop_ = QImage();
    const QString path = backdropImagePath(session_.where, session_.backdrop);
    if (!path.isEmpty()) {
        try {
            backdrop_ = loadBackdropImage(path);
        } catch (const Failure&) {
            applyBackdrop();
            throw;
        }
    }
    applyBackdrop();
}

void LargePreview::chooseBackdrop(const QString& hostImagePath)
{
    QImage image = loadBackdropImage(hostImagePath);
    const Backdrop chosen = backdropFor(session_.where, hostImagePath, opacity_->value() / 100.0);
    saveBackdrop(session_.where, chosen);
    session_.backdrop = chosen;
    backdrop_ = std::move(image);
    applyBackdrop();
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
