#include "ui/frmbrev.h"

#include "layout/drawing.h"
#include "layout/layoutfile.h"
#include "platform/qt/fonts.h"
#include "ui/elidedlabel.h"
#include "ui/failurereport.h"
#include "ui/previewbox.h"
#include "ui/previewtee.h"
#include "ui/printcommands.h"
#include "ui/textvalidators.h"
#include "ui/twips.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <span>
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

// The item table: rows 360 twips apart from top 360, item order of each column set.
constexpr int kHeaderTop = 120;
constexpr int kFirstRowTop = 360;
constexpr int kRowPitch = 360;
constexpr int kRowHeight = 270;
constexpr std::array kLeftRows{10, 11, 12, 18, 0, 1, 2, 13, 14, 15, 16, 17};
constexpr std::array kRightRows{3, 4, 5, 6, 7, 8, 9};
struct ColumnSet {
    int check;
    int x;
    int y;
    int size;
};
constexpr ColumnSet kLeftColumns{4320, 5400, 6240, 7080};
constexpr ColumnSet kRightColumns{8040, 9120, 9960, 10800};
constexpr int kCheckWidth = 1215;
constexpr int kNumberWidth = 735;
constexpr int kSizeWidth = 615;
constexpr int kFreeTextLeft = 7800;
constexpr int kFreeTextWidth = 3615;

QString indexed(const QString& name, int index)
{
    return name + QString::number(index);
}

/// Places a control at its design position (twips, relative to its parent).
template <class W>
W* place(W* control, const QString& name, int left, int top, int width, int height)
{
    control->setObjectName(name);
    control->setGeometry(twipsRect(*control, left, top, width, height));
    return control;
}

/// Places a label whose design gives no size: it takes the size its caption needs.
QLabel* placeLabel(QLabel* label, const QString& name, int left, int top)
{
    label->setObjectName(name);
    label->adjustSize();
    label->move(twipsRect(*label, left, top, 0, 0).topLeft());
    return label;
}

/// The item switch (0 off, 1 on, 2 grayed) as a check box state, and back.
Qt::CheckState checkStateOf(qint16 switchState)
{
    switch (switchState) {
    case kSwitchOn:
        return Qt::Checked;
    case kSwitchGrayed:
        return Qt::PartiallyChecked;
    default:
        return Qt::Unchecked;
    }
}

qint16 switchOf(Qt::CheckState state)
{
    switch (state) {
    case Qt::Checked:
        return kSwitchOn;
    case Qt::PartiallyChecked:
        return kSwitchGrayed;
    default:
        return kSwitchOff;
    }
}

/// The header over the three number boxes of a column set. Its caption spaces the three
/// words apart with full-width blanks for a face whose blank is narrow; the installed faces
/// have a full em, so each word is drawn over its box instead (offsets in twips).
class ColumnHeader final : public QLabel {
public:
    ColumnHeader(const QString& caption, QList<int> wordOffsets, QWidget* parent)
        : QLabel(caption, parent)
        , wordOffsets_(std::move(wordOffsets))
    {
    }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        (void)event;
        QPainter painter(this);
        painter.setPen(palette().color(QPalette::WindowText));
        const QStringList words = text().split(QChar(0x3000), Qt::SkipEmptyParts);
        for (qsizetype i = 0; i < words.size() && i < wordOffsets_.size(); ++i) {
            const int x = twipsToPixels(wordOffsets_[i], logicalDpiX());
            painter.drawText(QRect(x, 0, width() - x, height()), Qt::AlignLeft | Qt::AlignVCenter,
                             words[i]);
        }
    }

private:
    QList<int> wordOffsets_;
};

} // namespace

FrmBrev::FrmBrev(PrintTargetFactory openPrintTarget, QWidget* parent)
    : QWidget(parent)
    , openPrintTarget_(std::move(openPrintTarget))
{
    setObjectName(u"frmBrev"_s);
    setWindowTitle(u"Tarvel"_s);
    QFont face{QString::fromUtf16(kWindowFace)};
    face.setPointSizeF(kWindowPointSize);
    setFont(face);

    buildNarrowPart();
    buildWidePart();
    buildItemTable();
    buildPrintConditions();
    showLayout(defaultLayout());
    connectHandlers();

    setFixedSize(twipsRect(*this, 0, 0, kStartClientWidth, kStartClientHeight).size());
    showWidth(Width::Narrow);
}

FrmBrev::~FrmBrev() = default;

Layout FrmBrev::layout() const
{
    Layout layout;
    layout.rankLimitIndividual = txtJun_[0]->text();
    layout.rankLimitRelay = txtJun_[1]->text();
    for (int i = 0; i < kItemCount; ++i) {
        ItemLayout& item = layout.items[i];
        item.switchState = switchOf(chkKoumoku_[i]->checkState());
        item.x = txtX_[i]->text();
        item.y = txtY_[i]->text();
        item.size = txtSizu_[i]->text();
    }
    for (int k = 0; k < kFreeTextCount; ++k)
        layout.freeTexts[k] = txtText_[k]->text();
    return layout;
}

void FrmBrev::showLayout(const Layout& layout)
{
    txtJun_[0]->setText(layout.rankLimitIndividual);
    txtJun_[1]->setText(layout.rankLimitRelay);
    for (int i = 0; i < kItemCount; ++i) {
        const ItemLayout& item = layout.items[i];
        chkKoumoku_[i]->setCheckState(checkStateOf(item.switchState));
        txtX_[i]->setText(item.x);
        txtY_[i]->setText(item.y);
        txtSizu_[i]->setText(item.size);
    }
    for (int k = 0; k < kFreeTextCount; ++k)
        txtText_[k]->setText(layout.freeTexts[k]);
}

void FrmBrev::buildNarrowPart()
{
    placeLabel(new QLabel(u"大会名"_s, this), u"Label6"_s, 120, 120);
    lblTaikai_ = place(new ElidedLabel(this), u"lblTaikai"_s, 840, 120, 2655, 255);
    placeLabel(new QLabel(u"場   所"_s, this), u"Label7"_s, 120, 480);
    lblBasho_ = place(new ElidedLabel(this), u"lblBasho"_s, 840, 480, 1575, 255);
    cmdInsatu_ = place(new QPushButton(u"印刷"_s, this), u"cmdInsatu"_s, 120, 840, 2295, 495);
    chkInsatu_ = place(new QCheckBox(u"プレビューのみ"_s, this), u"chkInsatu"_s, 120, 1400,
                       1575, 255);
    placeLabel(new QLabel(u"打出順位"_s, this), u"Label1"_s, 2640, 600);
    placeLabel(new QLabel(u"個人"_s, this), u"Label2"_s, 2640, 840);
    txtJun_[0] = place(new QLineEdit(u"3"_s, this), u"txtJun0"_s, 3120, 840, 495, 270);
    placeLabel(new QLabel(u"リレー"_s, this), u"Label3"_s, 2640, 1080);
    txtJun_[1] = place(new QLineEdit(u"3"_s, this), u"txtJun1"_s, 3120, 1080, 495, 270);
    cmdGamen_ = place(new QPushButton(u">>"_s, this), u"cmdGamen"_s, 3840, 0, 375, 1695);
}

void FrmBrev::buildWidePart()
{
    QFont cornerFont = font();
    cornerFont.setPointSizeF(kCornerLabelPointSize);
    const QRect box = twipsRect(*this, 240, 1920, 3615, 4695);
    // One caption per label, its two corner texts padded apart with blanks to the box's width.
    auto cornerLabel = [&](const QString& name, const QString& left, const QString& right) {
        auto* label = new QLabel(this);
        label->setObjectName(name);
        label->setFont(cornerFont);
        const QFontMetrics metrics(cornerFont);
        QString caption = left + u' ' + right;
        while (metrics.horizontalAdvance(caption + u' ') <= box.width())
            caption.insert(left.size(), u' ');
        label->setText(caption);
        label->resize(box.width(), metrics.height());
        widePart_.append(label);
        return label;
    };
    // The corner labels sit right above and below the box, whole: the design's 135 twips
    // would cut their digits.
    QLabel* top = cornerLabel(u"Label81"_s, u"(0 , 0)"_s, u"(11516 , 0)"_s);
    top->move(box.left(), box.top() - top->height());
    QLabel* bottom = cornerLabel(u"Label80"_s, u"(0 , 16260)"_s, u"(11516 , 16260)"_s);
    bottom->move(box.left(), box.bottom() + 1);

    picBrev_ = new PreviewBox(this);
    picBrev_->setObjectName(u"picBrev"_s);
    picBrev_->setGeometry(box);
    cmdTest_ = place(new QPushButton(u"テスト印刷"_s, this), u"cmdTest"_s, 2760, 6840, 1095,
                     375);
    cmdFont_ = place(new QPushButton(u"フォント変更"_s, this), u"cmdFont"_s, 2760, 7320, 1095,
                     375);
    lblVersion_ = place(new QLabel(this), u"lblVersion"_s, 240, 7080, 1695, 735);
    lblVersion_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    widePart_ << picBrev_ << cmdTest_ << cmdFont_ << lblVersion_;
}

void FrmBrev::buildItemTable()
{
    auto addColumnSet = [&](const ColumnSet& columns, std::span<const int> rows, int set) {
        widePart_ << placeLabel(new QLabel(u"打出項目"_s, this), indexed(u"Label4"_s, set),
                                columns.check, kHeaderTop)
                  << place(new ColumnHeader(u"X軸　　　　　Y軸　　　　サイズ"_s,
                                            {0, columns.y - columns.x, columns.size - columns.x},
                                            this),
                           indexed(u"Label5"_s, set), columns.x, kHeaderTop,
                           columns.size + kSizeWidth - columns.x, kRowHeight);
        for (std::size_t row = 0; row < rows.size(); ++row) {
            const int item = rows[row];
            const int top = kFirstRowTop + static_cast<int>(row) * kRowPitch;
            chkKoumoku_[item] = place(new QCheckBox(itemCaption(item), this),
                                      indexed(u"chkKoumoku"_s, item), columns.check, top,
                                      kCheckWidth, kRowHeight);
            txtX_[item] = place(new QLineEdit(this), indexed(u"txtX"_s, item), columns.x, top,
                                kNumberWidth, kRowHeight);
            txtY_[item] = place(new QLineEdit(this), indexed(u"txtY"_s, item), columns.y, top,
                                kNumberWidth, kRowHeight);
            txtSizu_[item] = place(new QLineEdit(this), indexed(u"txtSizu"_s, item), columns.size,
                                   top, kSizeWidth, kRowHeight);
            widePart_ << chkKoumoku_[item] << txtX_[item] << txtY_[item] << txtSizu_[item];
            if (item >= kFirstFreeTextItem && item < kFirstFreeTextItem + kFreeTextCount) {
                const int k = item - kFirstFreeTextItem;
                txtText_[k] = place(new QLineEdit(this), indexed(u"txtText"_s, k),
                                    kFreeTextLeft, top, kFreeTextWidth, kRowHeight);
                widePart_ << txtText_[k];
            }
        }
    };
    addColumnSet(kLeftColumns, kLeftRows, 0);
    addColumnSet(kRightColumns, kRightRows, 1);
}

void FrmBrev::buildPrintConditions()
{
    auto* conditions = place(new QGroupBox(u"打ち出し条件"_s, this), u"Frame1"_s, 4320, 4680,
                             6255, 3135);
    widePart_ << conditions;

    // One row of options, index order from left to right; `selected` is on at start.
    auto addOptions = [](QWidget* parent, QButtonGroup* group, const QString& name,
                         const QStringList& captions, int selected, int left, int top,
                         int pitch) {
        group->setObjectName(name);
        for (int i = 0; i < captions.size(); ++i) {
            auto* option = place(new QRadioButton(captions[i], parent), indexed(name, i),
                                 left + i * pitch, top, pitch, 255);
            group->addButton(option, i);
        }
        group->button(selected)->setChecked(true);
    };
    auto addFramedOptions = [&](const QString& frameName, const QString& caption,
                                QButtonGroup* group, const QString& name,
                                const QStringList& captions, int selected, int top, int width,
                                int pitch) {
        auto* frame = place(new QGroupBox(caption, conditions), frameName, 120, top, width, 555);
        addOptions(frame, group, name, captions, selected, 90, 250, pitch);
    };

    optJohken_ = new QButtonGroup(this);
    addOptions(conditions, optJohken_, u"optJohken"_s, {u"同時"_s, u"随時"_s}, 0, 240, 260,
               1080);
    optKyori_ = new QButtonGroup(this);
    addFramedOptions(u"Frame2"_s, u"距離"_s, optKyori_, u"optKyori"_s,
                     {u"全部"_s, u"25"_s, u"50"_s, u"100"_s, u"200"_s, u"400"_s, u"800"_s,
                      u"1500"_s},
                     0, 560, 6015, 735);
    optShu_ = new QButtonGroup(this);
    addFramedOptions(u"Frame3"_s, u"種目"_s, optShu_, u"optShu"_s,
                     {u"全部"_s, u"自由"_s, u"背泳"_s, u"平泳"_s, u"バタ"_s, u"個メ"_s,
                      u"ＭＲ"_s, u"ＦＲ"_s},
                     0, 1160, 6015, 735);
    optYoketu_ = new QButtonGroup(this);
    addFramedOptions(u"Frame4"_s, u"予決"_s, optYoketu_, u"optYoketu"_s,
                     {u"全部"_s, u"予選"_s, u"決勝"_s, u"コン"_s, u"準決"_s}, 2, 1760, 6015, 735);
    optSei_ = new QButtonGroup(this);
    addFramedOptions(u"Frame5"_s, u"性別"_s, optSei_, u"optSei"_s,
                     {u"全部"_s, u"男子"_s, u"女子"_s}, 0, 2360, 2400, 735);
    placeLabel(new QLabel(u"旧番号"_s, conditions), u"Label9"_s, 2760, 2700);
    txtQbango_ = place(new QLineEdit(conditions), u"txtQbango"_s, 3480, 2660, 1215, 270);
}

void FrmBrev::connectHandlers()
{
    auto redraw = [this] { guarded([this] { drawPreview(); }); };
    for (int i = 0; i < kItemCount; ++i) {
        // A grayed switch (only the layout file gives one) turns on when clicked, then
        // toggles between off and on.
        connect(chkKoumoku_[i], &QCheckBox::clicked, this, [this, i, redraw] {
            chkKoumoku_[i]->setTristate(false);
            redraw();
        });
        for (QLineEdit* box : {txtX_[i], txtY_[i], txtSizu_[i]}) {
            box->setValidator(new NumberTextValidator(box));
            connect(box, &QLineEdit::textChanged, this, redraw);
        }
    }
    for (QLineEdit* box : txtJun_) {
        box->setValidator(new NumberTextValidator(box));
        connect(box, &QLineEdit::textChanged, this, redraw);
    }
    for (int k = 0; k < kFreeTextCount; ++k) {
        txtText_[k]->setValidator(new FreeTextValidator(txtText_[k]));
        connect(txtText_[k], &QLineEdit::textChanged, this,
                [this, k] { guarded([this, k] { freeTextChanged(k); }); });
    }
    const std::pair<QPushButton*, void (FrmBrev::*)()> buttons[] = {
        {cmdInsatu_, &FrmBrev::cmdInsatu_Click},
        {cmdTest_, &FrmBrev::cmdTest_Click},
        {cmdFont_, &FrmBrev::cmdFont_Click},
        {cmdGamen_, &FrmBrev::cmdGamen_Click},
    };
    for (const auto& [button, handler] : buttons)
        connect(button, &QPushButton::clicked, this,
                [this, handler = handler] { guarded([this, handler] { (this->*handler)(); }); });
}

void FrmBrev::start(const QString& locationFile)
{
    // Location file, item texts, layout file and meet header, in that order.
    session_ = startSession(locationFile);
    showLayout(session_.layout);
    started_ = true;
    drawPreview();
    lblTaikai_->setFullText(session_.meet.meetName);
    lblBasho_->setFullText(session_.meet.venue);
    target_ = openPrintTarget_(session_.where);
    target_.device->setFontFace(picBrev_->surface().fontFace());
    lblVersion_->setText(QString::fromUtf16(kVersion));
    if (session_.layoutLoad.outcome == LayoutLoad::Repaired)
        QTimer::singleShot(0, this, [this] { showLayoutRepair(this, session_); });
}

PrintOptions FrmBrev::printOptions() const
{
    PrintOptions options;
    options.condition = optJohken_->checkedId() == 1 ? PrintCondition::Anytime
                                                     : PrintCondition::Simultaneous;
    options.distance = optKyori_->checkedId();
    options.stroke = optShu_->checkedId();
    options.round = optYoketu_->checkedId();
    options.sex = optSei_->checkedId();
    options.numberPrefix = txtQbango_->text();
    options.rankLimitIndividual = txtJun_[0]->text();
    options.rankLimitRelay = txtJun_[1]->text();
    options.previewOnly = chkInsatu_->isChecked() ? PreviewOnly::Yes : PreviewOnly::No;
    return options;
}

void FrmBrev::setPreviewTap(PreviewSurface* tap)
{
    tee_ = tap ? std::make_unique<PreviewTee>(picBrev_->surface(), *tap) : nullptr;
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
    session_.layout = layout();
    tarvel::drawPreview(previewTarget(), session_.layout, session_.itemText);
}

void FrmBrev::freeTextChanged(int k)
{
    session_.itemText[kFirstFreeTextItem + k] = txtText_[k]->text();
    drawPreview();
}

void FrmBrev::saveLayout()
{
    session_.layout = layout();
    tarvel::saveLayout(session_.where, session_.layout);
}

void FrmBrev::cmdInsatu_Click()
{
    saveLayout();
    PrintCommands::printRun(this, session_, printOptions(), target_, previewTarget());
}

void FrmBrev::cmdTest_Click()
{
    saveLayout();
    const PreviewOnly previewOnly = chkInsatu_->isChecked() ? PreviewOnly::Yes : PreviewOnly::No;
    PrintCommands::printTestPage(this, session_, previewOnly, target_);
}

void FrmBrev::cmdFont_Click()
{
    const QString face = fontChooser_.choose(this);
    target_.device->setFontFace(face);
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
    chkInsatu_->setChecked(false);
    chkInsatu_->setEnabled(false);
    showWidth(Width::Narrow);
    setOuterSize(kNarrowOuterWidth, kNarrowOuterHeight);
    cmdGamen_->setText(u">>"_s);
}

void FrmBrev::showWidth(Width width)
{
    width_ = width;
    for (QWidget* control : widePart_)
        control->setVisible(width == Width::Wide);
}

void FrmBrev::setOuterSize(int widthTwips, int heightTwips)
{
    // Each state has one size, never less than its controls need (a window frame larger
    // than the design's would otherwise cut the bottom row off).
    const QSize frame = frameGeometry().size() - geometry().size();
    QSize client = twipsRect(*this, 0, 0, widthTwips, heightTwips).size() - frame;
    const QRect margin = twipsRect(*this, 0, 0, kContentMargin, kContentMargin);
    for (const QWidget* control : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (control->isVisibleTo(this))
            client = client.expandedTo(QSize(control->geometry().right() + margin.width(),
                                             control->geometry().bottom() + margin.height()));
    }
    setFixedSize(client);
}

void FrmBrev::guarded(const std::function<void()>& handler)
{
    try {
        handler();
    } catch (const Failure& failure) {
        reportFailure(this, failure);
    }
}

} // namespace tarvel::ui
