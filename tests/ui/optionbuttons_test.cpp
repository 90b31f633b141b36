// The window's print-condition option buttons against the one table of print choices that
// tarvel-batch's options are read with too.

#include "printrun/printchoices.h"
#include "tempmeet.h"
#include "ui/frmbrev.h"
#include "windowdriver.h"

#include <QButtonGroup>
#include <QRadioButton>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace tarvel;
using namespace tarvel::testing;
using tarvel::ui::FrmBrev;

class OptionButtonsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    /// Every button of every group is a choice of the table, in its order, with its
    /// caption, the initial one on, and choosing it asks the run for what its word asks.
    void followTheChoiceTable();
};

void OptionButtonsTest::followTheChoiceTable()
{
    auto meet = emptyMeet();
    auto opened = openWindow();
    FrmBrev& window = *opened->window;
    struct Row {
        QString name;
        const PrintChoiceGroup& group;
        int PrintOptions::*index; // null for the condition
    };
    const Row rows[] = {
        {u"optJohken"_s, kConditionGroup, nullptr},
        {u"optKyori"_s, kDistanceGroup, &PrintOptions::distance},
        {u"optShu"_s, kStrokeGroup, &PrintOptions::stroke},
        {u"optYoketu"_s, kRoundGroup, &PrintOptions::round},
        {u"optSei"_s, kSexGroup, &PrintOptions::sex},
    };
    for (const Row& row : rows) {
        const auto& buttons = child<QButtonGroup>(window, row.name);
        QCOMPARE(buttons.buttons().size(), qsizetype(row.group.choices.size()));
        QCOMPARE(buttons.checkedId(), row.group.initial);
        if (row.index) {
            const auto* frame = qobject_cast<QWidget*>(buttons.button(0)->parent());
            QCOMPARE(frame->property("title").toString(), QString::fromUtf16(row.group.caption));
        }
        for (int i = 0; i < int(row.group.choices.size()); ++i) {
            const QString name = row.name + QString::number(i);
            QRadioButton& option = opened->option(name);
            QCOMPARE(buttons.id(&option), i);
            QCOMPARE(option.text(), QString::fromUtf16(row.group.choices[i].caption));
            // The option chosen is what the run is asked for, as tarvel-batch's word would.
            QTest::mouseClick(&option, Qt::LeftButton);
            QVERIFY2(option.isChecked(), qPrintable(name));
            const QString word = QString::fromLatin1(row.group.choices[i].word);
            const PrintOptions options = window.printOptions();
            if (row.index)
                QCOMPARE(options.*row.index, row.group.indexOf(word));
            else
                QCOMPARE(options.condition, word == u"anytime"_s ? PrintCondition::Anytime
                                                                 : PrintCondition::Simultaneous);
        }
    }
}

QTEST_MAIN(OptionButtonsTest)
#include "optionbuttons_test.moc"
