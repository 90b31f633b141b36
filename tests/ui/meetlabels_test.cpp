// The meet's name and venue in the narrow window, and the failed job's line on the strip:
// whole when they fit, cut with "…" and told in full as a tooltip when they do not; and
// each window state one fixed size.

#include "ui/deskstrip.h"
#include "ui/elidedlabel.h"
#include "windowdriver.h"

using namespace tarvel;
using namespace tarvel::testing;

class MeetLabelsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void namesThatDoNotFitEndWithAnEllipsisAndShowWholeAsTooltip();
    void aFailedJobsLongLineEndsBeforeItsButton();
};

void MeetLabelsTest::namesThatDoNotFitEndWithAnEllipsisAndShowWholeAsTooltip()
{
    auto meet = emptyMeet();
    MeetSettings settings;
    settings.meetName = u"第12回みなと川ジュニア水泳競技大会"_s;
    settings.venue = u"市民プール"_s;
    meet->builder().writeMeetHeader(settings);
    auto opened = openWindow();

    const auto& name = child<ui::ElidedLabel>(*opened->window, u"lblTaikai"_s);
    QCOMPARE(name.text(), settings.meetName);
    QVERIFY(name.shownText().endsWith(u"…"_s));
    QVERIFY(name.fontMetrics().horizontalAdvance(name.shownText()) <= name.contentsRect().width());
    QCOMPARE(name.toolTip(), settings.meetName);
    const auto& venue = child<ui::ElidedLabel>(*opened->window, u"lblBasho"_s);
    QCOMPARE(venue.shownText(), settings.venue);
    QVERIFY(venue.toolTip().isEmpty());

    // Neither state can be resized: no grey space, nothing cut off.
    for (int state = 0; state < 2; ++state) {
        QCOMPARE(opened->window->minimumSize(), opened->window->maximumSize());
        opened->click(u"cmdGamen"_s);
    }
}

void MeetLabelsTest::aFailedJobsLongLineEndsBeforeItsButton()
{
    auto meet = emptyMeet();
    auto opened = openWindow();
    const QString line = u"印刷失敗: 第12回みなと川ジュニア水泳競技大会 男子 100m 自由形 決勝 "
                         u"(プリンター office-laser: 用紙がありません)"_s;
    child<ui::DeskStrip>(*opened->window, u"deskStrip"_s).showFailedJob(line);
    const auto& label = child<ui::ElidedLabel>(*opened->window, u"lblShippai"_s);
    const QWidget& button = child<QWidget>(*opened->window, u"cmdSaiInsatu"_s);
    QVERIFY(label.isVisible() && button.isVisible());
    QCOMPARE(label.text(), line);
    QVERIFY(label.shownText().endsWith(u"…"_s));
    QVERIFY(label.fontMetrics().horizontalAdvance(label.shownText())
            <= label.contentsRect().width());
    QVERIFY(label.geometry().right() < button.geometry().left());
    QCOMPARE(label.toolTip(), line);
}

QTEST_MAIN(MeetLabelsTest)
#include "meetlabels_test.moc"
