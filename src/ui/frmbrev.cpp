#include "ui/frmbrev.h"

#include "layout/drawing.h"
#include "layout/layoutfile.h"
#include "layout/layoutini.h"
#include "platform/qt/fonts.h"
#include "ui/autoprintdesk.h"
#include "ui/ceremonycontrols.h"
#include "ui/closequestion.h"
#include "ui/controlplacing.h"
#include "ui/deskstrip.h"
#include "ui/ecertcontrols.h"
#include "ui/elidedlabel.h"
#include "ui/failurereport.h"
#include "ui/largepreview.h"
#include "ui/ledgerdesk.h"
#include "ui/previewbox.h"
#include "ui/printconditioncontrols.h"
#include "ui/runview.h"
#include "ui/textvalidators.h"
#include "ui/twips.h"
#include "ui/venuedesk.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <utility>

using namespace Qt::StringLiterals;

namespace tarvel::ui {

namespace {

constexpr double kWindowPointSize = 9.0;
constexpr double kCornerLabelPointSize = 8.25;
constexpr char16_t kVersion[] = u"Ver 2.00\n2003/02/24";

// Client sizes and outer sizes of the two states, in twips.
constexpr int kStartClientWidth = 4290;
constexpr int kStartClientHeight = 1770;
constexpr int kWideOuterWidth = 11625;
constexpr int kWideOuterHeight = 8295;
constexpr int kNarrowOuterWidth = 4395;
constexpr int kNarrowOuterHeight = 2085;
/// Space kept right of and below the controls of a state.
constexpr int kContentMargin = 60;
/// The strip's top in the wide window: under the version label and the conditions frame.
constexpr int kWideStripTop = 7875;

} // namespace

FrmBrev::FrmBrev(DeskServices services, QWidget* parent)
    : QWidget(parent)
    , services_(std::move(services))
{
    setObjectName(u"frmBrev"_s);
    setWindowTitle(u"Tarvel"_s);
    QFont face{QString::fromUtf16(kWindowFace)};
    face.setPointSizeF(kWindowPointSize);
    setFont(face);

    buildNarrowPart();
    buildWidePart();
    items_ = ItemTable::build(this, widePart_);
    conditions_ = PrintConditionControls::build(this);
    widePart_ << conditions_.frame;
    ceremony_ = new CeremonyControls(*this, widePart_);
    connect(ceremony_, &CeremonyControls::changed, this, [this] { keepWatchRequestCurrent(); });
    eCertificates_ = new ECertControls(*this, widePart_);
    connect(eCertificates_, &ECertControls::changed, this, [this] { keepWatchRequestCurrent(); });
    showLayout(defaultLayout());
    connectHandlers();

    setFixedSize(
        twipsRect(*this, 0, 0, kStartClientWidth, kStartClientHeight + DeskStrip::kHeightTwips)
            .size());
    showWidth(Width::Narrow);
}

FrmBrev::~FrmBrev()
{
    // Gone before the members their handlers reach (the previews' routing, the desk) go.
    delete venueDesk_;
    delete largePreview_;
    delete autoPrintDesk_;
    delete ledgerDesk_;
    delete runView_;
}

Layout FrmBrev::layout() const
{
    Layout layout;
    layout.rankLimitIndividual = txtJun_[0]->text();
    layout.rankLimitRelay = txtJun_[1]->text();
    items_.read(layout);
    for (int i = 0; i < kItemCount; ++i)
        layout.items[i].maxWidth = maxWidths_[i];
    return layout;
}

void FrmBrev::showLayout(const Layout& layout)
{
    txtJun_[0]->setText(layout.rankLimitIndividual);
    txtJun_[1]->setText(layout.rankLimitRelay);
    items_.show(layout);
    for (int i = 0; i < kItemCount; ++i)
        maxWidths_[i] = layout.items[i].maxWidth;
}

void FrmBrev::buildNarrowPart()
{
    placeLabel(new QLabel(u"大会名"_s, this), u"Label6"_s, 120, 120);
    lblTaikai_ = place(new ElidedLabel(this), u"lblTaikai"_s, 840, 120, 2655, 255);
    placeLabel(new QLabel(u"場   所"_s, this), u"Label7"_s, 120, 480);
    lblBasho_ = place(new ElidedLabel(this), u"lblBasho"_s, 840, 480, 1575, 255);
    cmdInsatu_ = place(new QPushButton(u"印刷"_s, this), u"cmdInsatu"_s, 120, 840, 2295, 495);
    chkInsatu_ =
        place(new QCheckBox(u"プレビューのみ"_s, this), u"chkInsatu"_s, 120, 1400, 1575, 255);
    placeLabel(new QLabel(u"打出順位"_s, this), u"Label1"_s, 2640, 600);
    placeLabel(new QLabel(u"個人"_s, this), u"Label2"_s, 2640, 840);
    txtJun_[0] = place(new QLineEdit(u"3"_s, this), u"txtJun0"_s, 3120, 840, 495, 270);
    placeLabel(new QLabel(u"リレー"_s, this), u"Label3"_s, 2640, 1080);
    txtJun_[1] = place(new QLineEdit(u"3"_s, this), u"txtJun1"_s, 3120, 1080, 495, 270);
    cmdGamen_ = place(new QPushButton(u">>"_s, this), u"cmdGamen"_s, 3840, 0, 375, 1695);
    // The status line, in the free space beside the preview-only switch.
    lblJoutai_ = place(new ElidedLabel(this), u"lblJoutai"_s, 1800, 1400, 1980, 255);
    // Below the design's controls, in both states: history, automatic printing, failures.
    strip_ = new DeskStrip(this);
}

void FrmBrev::buildWidePart()
{
    QFont cornerFont = font();
    cornerFont.setPointSizeF(kCornerLabelPointSize);
    const QRect box = twipsRect(*this, 240, 1920, 3615, 4695);
    auto cornerLabel = [&](const QString& name, const QString& left, const QString& right) {
        QLabel* label = spreadLabel(this, name, left, right, box.width(), cornerFont);
        widePart_.append(label);
        return label;
    };
    const auto corner = [](int x, int y) { return u"(%1 , %2)"_s.arg(x).arg(y); };
    QLabel* top = cornerLabel(u"Label81"_s, corner(0, 0), corner(kPageWidthTwips, 0));
    top->move(box.left(), box.top() - top->height());
    QLabel* bottom = cornerLabel(u"Label80"_s, corner(0, kPageHeightTwips),
                                 corner(kPageWidthTwips, kPageHeightTwips));
    bottom->move(box.left(), box.bottom() + 1);

    picBrev_ = new PreviewBox(this);
    picBrev_->setObjectName(u"picBrev"_s);
    picBrev_->setGeometry(box);
    cmdTest_ = place(new QPushButton(u"テスト印刷"_s, this), u"cmdTest"_s, 2760, 6840, 1095, 375);
    cmdFont_ = place(new QPushButton(u"フォント変更"_s, this), u"cmdFont"_s, 2760, 7320, 1095, 375);
    lblVersion_ = place(new QLabel(this), u"lblVersion"_s, 240, 7080, 1695, 735);
    lblVersion_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    cmdKakudai_ = place(new QPushButton(u"拡大"_s, this), u"cmdKakudai"_s, 10680, 4740, 735, 375);
    widePart_ << picBrev_ << cmdTest_ << cmdFont_ << cmdKakudai_ << lblVersion_;
}

void FrmBrev::connectHandlers()
{
    auto redraw = [this] { guarded([this] { drawPreview(); }); };
    items_.connectEdits(redraw, [this](int k) { guarded([this, k] { freeTextChanged(k); }); });
    for (QLineEdit* box : txtJun_) {
        box->setValidator(new NumberTextValidator(box));
        connect(box, &QLineEdit::textChanged, this, redraw);
    }
    const std::pair<QPushButton*, void (FrmBrev::*)()> buttons[] = {
        {cmdInsatu_, &FrmBrev::cmdInsatu_Click},
        {cmdTest_, &FrmBrev::cmdTest_Click},
        {cmdFont_, &FrmBrev::cmdFont_Click},
        {cmdGamen_, &FrmBrev::cmdGamen_Click},
        {cmdKakudai_, &FrmBrev::cmdKakudai_Click},
        {&strip_->historyButton(), &FrmBrev::cmdRireki_Click},
        {&strip_->reprintFailedButton(), &FrmBrev::cmdSaiInsatu_Click},
        {&strip_->destinationButton(), &FrmBrev::cmdInsatsusaki_Click},
    };
    for (const auto& [button, handler] : buttons)
        connect(button, &QPushButton::clicked, this,
                [this, handler = handler] { guarded([this, handler] { (this->*handler)(); }); });
    connect(picBrev_, &PreviewBox::doubleClicked, this,
            [this] { guarded([this] { cmdKakudai_Click(); }); });
    // The print conditions and filters: an automatic run prints with them as they are.
    for (QAbstractButton* control : findChildren<QAbstractButton*>())
        connect(control, &QAbstractButton::toggled, this, [this] { keepWatchRequestCurrent(); });
}

void FrmBrev::start(const QString& locationFile)
{
    // Location file, item texts, layout file and meet header, in that order.
    buildDesk(startSession(locationFile));
    showLayout(session().layout);
    savedLayout_ = layout();
    started_ = true;
    drawPreview();
    lblTaikai_->setFullText(session().meet.meetName);
    lblBasho_->setFullText(session().meet.venue);
    buildLargePreview();
    ledgerDesk_ = new LedgerDesk(*this, *desk_, *strip_);
    ceremony_->attach(*desk_);
    eCertificates_->attach(*desk_);
    buildAutoPrintDesk();
    venueDesk_ = new VenueDesk(*this, *desk_, *strip_);
    lblVersion_->setText(QString::fromUtf16(kVersion));
    if (session().layoutLoad.outcome == LayoutLoad::Repaired)
        QTimer::singleShot(0, this, [this] { showLayoutRepair(this, session()); });
}

PrintOptions FrmBrev::printOptions() const
{
    PrintOptions options;
    conditions_.fill(options);
    options.rankLimitIndividual = txtJun_[0]->text();
    options.rankLimitRelay = txtJun_[1]->text();
    options.previewOnly = chkInsatu_->isChecked() ? PreviewOnly::Yes : PreviewOnly::No;
    return options;
}

void FrmBrev::setPreviewTap(PreviewSurface* tap)
{
    tap_ = tap;
    routePreviews();
}

void FrmBrev::routePreviews()
{
    std::vector<PreviewSurface*> surfaces{&picBrev_->surface()};
    if (largePreview_ && largePreview_->isVisible())
        surfaces.push_back(&largePreview_->dragger().surface());
    if (tap_)
        surfaces.push_back(tap_);
    tee_ = surfaces.size() > 1 ? std::make_unique<PreviewTee>(std::move(surfaces)) : nullptr;
}

PreviewSurface& FrmBrev::previewTarget()
{
    if (tee_)
        return *tee_;
    return picBrev_->surface();
}

void FrmBrev::drawPreview()
{
    if (!started_)
        return;
    Session& session = desk_->session();
    session.layout = layout();
    tarvel::drawPreview(previewTarget(), session.layout, session.itemText);
    QStringList reports;
    for (const UndrawableCharacter& found :
         undrawableCharacters(picBrev_->surface(), session.layout, session.itemText))
        reports << tr("%1 U+%2: no installed face can draw it")
                       .arg(itemCaption(found.item),
                            QString::number(uint(found.character), 16).toUpper());
    showUndrawable(reports);
    keepWatchRequestCurrent();
}

void FrmBrev::showUndrawable(const QStringList& reports)
{
    undrawable_ = reports;
    // Why the backdrop is not shown, while no character is in trouble.
    if (reports.isEmpty()) {
        lblJoutai_->setFullText(backdropNotice_.first);
        lblJoutai_->setToolTip(backdropNotice_.second);
        return;
    }
    lblJoutai_->setFullText(reports.front());
    lblJoutai_->setToolTip(reports.join(u'\n'));
}

void FrmBrev::freeTextChanged(int k)
{
    desk_->session().itemText[freeTextItem(k)] = items_.txtText[k]->text();
    drawPreview();
}

void FrmBrev::saveLayout()
{
    Session& session = desk_->session();
    session.layout = layout();
    tarvel::saveLayout(session.where, session.layout);
    saveItemWidths(session.where, session.layout);
    savedLayout_ = session.layout;
}

void FrmBrev::closeEvent(QCloseEvent* event)
{
    // Closing saves nothing by itself: edits not yet saved are the operator's to decide on.
    if (started_ && !mayCloseWithLayout(this, layout() != savedLayout_, [this] { saveLayout(); })) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

void FrmBrev::cmdFont_Click()
{
    const QString face = fontChooser_.choose(this);
    desk_->setFontFace(face);
    picBrev_->surface().setFontFace(face);
}

void FrmBrev::cmdGamen_Click()
{
    if (cmdGamen_->text() == u">>"_s) {
        chkInsatu_->setEnabled(true);
        showWidth(Width::Wide);
        setOuterSize(kWideOuterWidth, kWideOuterHeight);
        cmdGamen_->setText(u"<<"_s);
        return;
    }
    saveLayout();
    // The narrow window shows only what a print run needs; the large preview edits what the
    // wide part shows, so it goes with it (and comes back, undo steps and all, with 拡大).
    if (largePreview_)
        largePreview_->hide();
    chkInsatu_->setChecked(false);
    chkInsatu_->setEnabled(false);
    showWidth(Width::Narrow);
    setOuterSize(kNarrowOuterWidth, kNarrowOuterHeight);
    cmdGamen_->setText(u">>"_s);
}

void FrmBrev::cmdKakudai_Click()
{
    largePreview_->show();
    largePreview_->raise();
    largePreview_->activateWindow();
}

void FrmBrev::showWidth(Width width)
{
    width_ = width;
    for (QWidget* control : widePart_)
        control->setVisible(width == Width::Wide);
    // The strip stands under the controls of the state: the narrow window's start height, or
    // the wide part's bottom row.
    strip_->move(
        twipsRect(*this, 0, width == Width::Wide ? kWideStripTop : kStartClientHeight, 0, 0)
            .topLeft());
}

void FrmBrev::setOuterSize(int widthTwips, int heightTwips)
{
    // Each state has one size, never less than its controls need (a window frame larger
    // than the design's would otherwise cut the bottom row off).
    const QSize frame = frameGeometry().size() - geometry().size();
    QSize client = twipsRect(*this, 0, 0, widthTwips, heightTwips).size() - frame;
    const QRect margin = twipsRect(*this, 0, 0, kContentMargin, kContentMargin);
    for (const QWidget* control : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (control->isVisibleTo(this) && !control->isWindow())
            client = client.expandedTo(QSize(control->geometry().right() + margin.width(),
                                             control->geometry().bottom() + margin.height()));
    }
    setFixedSize(client);
}

void FrmBrev::guarded(const std::function<void()>& handler)
{
    runReportingFailure(this, handler);
}

} // namespace tarvel::ui
