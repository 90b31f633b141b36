#include "ui/printconditioncontrols.h"

#include "printrun/printchoices.h"
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

    // One row of a group's options, index order from left to right, its initial choice on.
    auto addOptions = [window](QWidget* parent, const PrintChoiceGroup& choices,
                               const QString& name, int left, int top, int pitch) {
        auto* group = new QButtonGroup(window);
        group->setObjectName(name);
        for (std::size_t i = 0; i < choices.choices.size(); ++i) {
            const QString caption = QString::fromUtf16(choices.choices[i].caption);
            auto* option = place(new QRadioButton(caption, parent), indexed(name, int(i)),
                                 left + int(i) * pitch, top, pitch, 255);
            group->addButton(option, int(i));
        }
        group->button(choices.initial)->setChecked(true);
        return group;
    };
    auto addFramedOptions = [&](const QString& frameName, const PrintChoiceGroup& choices,
                                const QString& name, int top, int width) {
        auto* frame = place(new QGroupBox(QString::fromUtf16(choices.caption), conditions),
                            frameName, 120, top, width, 555);
        return addOptions(frame, choices, name, 90, 250, 735);
    };

    controls.optJohken = addOptions(conditions, kConditionGroup, u"optJohken"_s, 240, 260, 1080);
    controls.optKyori = addFramedOptions(u"Frame2"_s, kDistanceGroup, u"optKyori"_s, 560, 6015);
    controls.optShu = addFramedOptions(u"Frame3"_s, kStrokeGroup, u"optShu"_s, 1160, 6015);
    controls.optYoketu = addFramedOptions(u"Frame4"_s, kRoundGroup, u"optYoketu"_s, 1760, 6015);
    controls.optSei = addFramedOptions(u"Frame5"_s, kSexGroup, u"optSei"_s, 2360, 2400);
    placeLabel(new QLabel(u"旧番号"_s, conditions), u"Label9"_s, 2760, 2700);
    controls.txtQbango = place(new QLineEdit(conditions), u"txtQbango"_s, 3480, 2660, 1215, 270);
    return controls;
}

void PrintConditionControls::fill(PrintOptions& options) const
{
    options.condition = conditionOfChoice(optJohken->checkedId());
    options.distance = optKyori->checkedId();
    options.stroke = optShu->checkedId();
    options.round = optYoketu->checkedId();
    options.sex = optSei->checkedId();
    options.numberPrefix = txtQbango->text();
}

} // namespace tarvel::ui
