#include "windowdriver.h"

#include "ledger/ledger.h"
#include "ledger/sqlite.h"
#include "meetdb/racestatus.h"
#include "ui/program.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>

namespace tarvel::testing {

QStringList ledgerDocuments(const TempMeet& meet)
{
    const QString path = meet.dataPath(QString::fromUtf16(kLedgerFileName));
    if (!QFileInfo::exists(path))
        return {};
    sql::Database db(path, sql::Database::Mode::ReadOnly, 5000);
    sql::Statement select = db.prepare(
        "SELECT d.kind, d.title, d.job_state, (SELECT count(*) FROM certificates c WHERE "
        "c.document_id = d.id) FROM documents d ORDER BY d.id");
    QStringList rows;
    while (select.step())
        rows << QStringList{select.text(0), select.text(1), select.text(2),
                            QString::number(select.integer(3))}
                    .join(u'|');
    return rows;
}

void type(QWidget& box, const QString& text)
{
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, &box, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

DeskServices recordingDesk(RecordingPrinter** printer, AutoPrinter::Timing timing)
{
    DeskServices services;
    services.openTarget = [printer](const DataLocations&) {
        auto device = std::make_unique<RecordingPrinter>();
        *printer = device.get();
        PrintTarget target;
        target.kind = PrintTargetKind::Printer;
        target.where = u"recorder"_s;
        target.device = std::move(device);
        return target;
    };
    services.jobState = [](int) { return std::optional<JobState>(JobState::Pending); };
    services.watchTiming = timing;
    return services;
}

std::unique_ptr<Opened> openWindow(const std::function<void(DeskServices&)>& adjust)
{
    auto opened = std::make_unique<Opened>();
    DeskServices services = recordingDesk(&opened->printer);
    if (adjust)
        adjust(services);
    opened->window = ui::openMainWindow(services);
    if (!opened->window)
        throw std::runtime_error("the window did not start");
    Opened* counted = opened.get();
    QObject::connect(opened->window->desk(), &Desk::runFinished, opened->window.get(),
                     [counted] { ++counted->runsFinished; });
    opened->window->setPreviewTap(&opened->preview);
    opened->window->show();
    if (!QTest::qWaitForWindowExposed(opened->window.get()))
        throw std::runtime_error("the window was not shown");
    return opened;
}

std::unique_ptr<TempMeet> emptyMeet()
{
    auto meet = std::make_unique<TempMeet>();
    meet->builder().writeLocationFile();
    MeetSettings settings;
    settings.meetName = u"テスト大会"_s;
    settings.venue = u"テストプール"_s;
    settings.meetDate = 20030224;
    meet->builder().writeMeetHeader(settings);
    QDir::setCurrent(meet->builder().workDir());
    return meet;
}

std::unique_ptr<TempMeet> oneEventMeet()
{
    auto meet = emptyMeet();
    sample::MeetBuilder& builder = meet->builder();
    builder.writeMasterHeader(MasterHeader());
    const QStringList names = {u"一番　太郎"_s, u"二番　次郎"_s, u"三番　三郎"_s};
    RaceRecord race;
    race.heatNo = 1;
    race.heatCount = 1;
    race.eventCode = 3;
    race.raceSex = u"1"_s;
    race.roundCode = u"2"_s;
    race.classHigh = 100;
    for (int lane = 0; lane < names.size(); ++lane) {
        builder.writeSwimmer(lane + 1, sample::MeetBuilder::swimmer(
                                           u"1000%1"_s.arg(lane + 1), names[lane], u"東京都"_s,
                                           u"テストＳＣ"_s, u"31"_s, 15, u"1"_s));
        race.laneEntryNo[lane] = qint16(lane + 1);
        race.laneResult[lane] = 10000 + 100 * lane; // 1:00.00, 1:01.00, 1:02.00
    }
    builder.writeRace(1, race);
    builder.writeRaceStatus(QList<int>{1}, kRaceReady);
    return meet;
}

ModalScript::ModalScript(std::deque<Step> steps) : steps_(std::move(steps))
{
    connect(&timer_, &QTimer::timeout, this, [this] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || steps_.empty() || modal->objectName() != steps_.front().first)
            return;
        const Step step = steps_.front();
        steps_.pop_front();
        // Acted on from a fresh event, not inside this timer's: a dialog that the step opens
        // runs a loop of its own, in which this timer must go on firing.
        QTimer::singleShot(0, modal, [step, modal] { step.second(*modal); });
    });
    timer_.start(20);
}

} // namespace tarvel::testing
