#include "ui/printconditioncontrols.h"

#include "ui/controlplacing.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

using namespace Qt::StringLiterals;

namespace tarvel::ui {

PrintConditionControls PrintConditionControls::build(QWidget* window)
{
    PrintConditionControls controls;
    auto* conditions =
        place(new QGroupBox(u"打ち出し条件"_s, window), u"Frame1"_s, 4320, 4680, 6255, 3135);
    controls.frame = conditions;

    // One row of options, index order from left to right; `selected` is on at start.
    auto addOptions = [](QWidget* parent, QButtonGroup* group, const QString& name,
                         const QStringList& captions, int selected, int left, int top, int pitch) {
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

    controls.optJohken = new QButtonGroup(window);
    addOptions(conditions, controls.optJohken, u"optJohken"_s, {u"同時"_s, u"随時"_s}, 0, 240, 260,
               1080);
    controls.optKyori = new QButtonGroup(window);
    addFramedOptions(
        u"Frame2"_s, u"距離"_s, controls.optKyori, u"optKyori"_s,
        {u"全部"_s, u"25"_s, u"50"_s, u"100"_s, u"200"_s, u"400"_s, u"800"_s, u"1500"_s}, 0, 560,
        6015, 735);
    controls.optShu = new QButtonGroup(window);
    addFramedOptions(
        u"Frame3"_s, u"種目"_s, controls.optShu, u"optShu"_s,
        {u"全部"_s, u"自由"_s, u"背泳"_s, u"平泳"_s, u"バタ"_s, u"個メ"_s, u"ＭＲ"_s, u"ＦＲ"_s}, 0,
        1160, 6015, 735);
    controls.optYoketu = new QButtonGroup(window);
    addFramedOptions(u"Frame4"_s, u"予決"_s, controls.optYoketu, u"optYoketu"_s,
                     {u"全部"_s, u"予選"_s, u"決勝"_s, u"コン"_s, u"準決"_s}, 2, 1760, 6015, 735);
    controls.optSei = new QButtonGroup(window);
    addFramedOptions(u"Frame5"_s, u"性別"_s, controls.optSei, u"optSei"_s,
                     {u"全部"_s, u"男子"_s, u"女子"_s}, 0, 2360, 2400, 735);
    placeLabel(new QLabel(u"旧番号"_s, conditions), u"Label9"_s, 2760, 2700);
    controls.txtQbango = place(new QLineEdit(conditions), u"txtQbango"_s, 3480, 2660, 1215, 270);
    return controls;
}

void PrintConditionControls::fill(PrintOptions& options) const
{
    options.condition =
        optJohken->checkedId() == 1 ? PrintCondition::Anytime : PrintCondition::Simultaneous;
    options.distance = optKyori->checkedId();
    options.stroke = optShu->checkedId();
    options.round = optYoketu->checkedId();
    options.sex = optSei->checkedId();
    options.numberPrefix = txtQbango->text();
}

} // namespace tarvel::ui
