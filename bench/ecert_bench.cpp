// E-certificates of a whole meet (4,318 certificates in 540 events): each event drawn as one
// document and split into files with qpdf, with a vector blank certificate beneath and
// without, against one QPdfWriter document per certificate, side by side in one run. Each
// approach runs in a process of its own, so that its peak memory is its own. Prints the time
// per certificate, the ratios, the file sizes and the peak memory.
//
//   bench_ecert [--certificates N] [--keep DIR]
//   bench_ecert --only split|bare|each DIR    (one approach, one line of figures)

#include "ecert/ecertwriter.h"
#include "ecert/eventpdfdevice.h"
#include "ecert/filenames.h"
#include "layout/drawing.h"
#include "platform/newfile.h"
#include "platform/qt/fonts.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>

#include <sys/resource.h>

namespace {

using namespace tarvel;

constexpr int kDefaultCertificates = 4318;

/// Every item on at sizes a real certificate uses, two free texts.
Layout benchLayout()
{
    Layout layout = defaultLayout();
    for (int i = 0; i < kItemCount; ++i) {
        ItemLayout& item = layout.items[i];
        item.switchState = i <= freeTextItem(1) || i == kItemClass ? kSwitchOn : kSwitchOff;
        item.x = QString::number(isFreeTextItem(i) ? 800 : 1200);
        item.y = QString::number(2500 + 700 * i);
        item.size = QString::number(i == kItemName ? 36 : i == freeTextItem(0) ? 28 : 16);
    }
    layout.freeTexts[0] = u"賞　状"_qs;
    layout.freeTexts[1] = u"あなたは頭書の成績を収められましたのでこれを賞します"_qs;
    return layout;
}

/// The meet's certificates by event: 8 individual certificates an event, every fifth event
/// a relay of 3 teams of 4 legs; names and clubs from pools, as a meet has them.
QList<QList<ECertificate>> meetCertificates(int count)
{
    static const QStringList family = {u"山田"_qs, u"佐藤"_qs, u"鈴木"_qs, u"高橋"_qs,
                                       u"田中"_qs, u"渡辺"_qs, u"伊藤"_qs, u"中村"_qs,
                                       u"小林"_qs, u"加藤"_qs, u"吉田"_qs, u"山口"_qs,
                                       u"松本"_qs, u"井上"_qs, u"木村"_qs, u"髙橋"_qs};
    static const QStringList given = {u"太郎"_qs, u"花子"_qs, u"一郎"_qs, u"美咲"_qs,
                                      u"翔太"_qs, u"陽菜"_qs, u"大輝"_qs, u"結衣"_qs,
                                      u"蓮"_qs,   u"葵"_qs,   u"悠斗"_qs, u"さくら"_qs};
    static const QStringList strokes = {u"自由形"_qs, u"背泳ぎ"_qs, u"平泳ぎ"_qs, u"バタフライ"_qs,
                                        u"個人メドレー"_qs};
    const Layout layout = benchLayout();
    QList<QList<ECertificate>> events;
    int made = 0;
    for (int e = 0; made < count; ++e) {
        const int raceNo = 11 + 2 * e;
        const bool relay = e % 5 == 4;
        const QString sex = e % 2 ? u"女子"_qs : u"男子"_qs;
        const QString event = QString::number(50 << (e % 3)) + u'm'
                              + (relay ? u"リレー"_qs : strokes[e % strokes.size()]);
        QList<ECertificate> certificates;
        for (int k = 0; k < (relay ? 12 : 8) && made < count; ++k, ++made) {
            ECertificate c;
            c.raceNo = raceNo;
            c.heat = raceNo - (k % 2);
            c.lane = relay ? k / 4 : k;
            if (relay)
                c.leg = k % 4;
            c.eventTitle = u"R%1 %2 %3 決勝"_qs.arg(raceNo, 3, 10, QChar(u'0')).arg(sex, event);
            const int rank = relay ? k / 4 + 1 : k + 1;
            c.items[kItemEvent] = sex + u' ' + event;
            c.items[kItemResult] =
                u"%1:%2.%3"_qs.arg(1).arg(made % 60, 2, 10, QChar(u'0')).arg(made % 100);
            c.items[kItemRank] = u"%1位"_qs.arg(rank, 3);
            c.items[kItemRemark] = made % 17 ? QString() : u"大会新"_qs;
            c.items[kItemName] =
                family[(made * 7) % family.size()] + u'　' + given[(made * 5) % given.size()];
            c.items[kItemPrefecture] = u"静岡県"_qs;
            c.items[kItemAffiliation] = u"計測スイミング%1"_qs.arg((made * 3) % 40);
            c.items[kItemGrade] = u"中学%1年"_qs.arg(1 + made % 3);
            c.items[kItemAge] = QString::number(12 + made % 4) + u'歳';
            c.items[kItemNumber] = QString::number(22000000 + made);
            c.items[kItemDate] = u"令和7年6月1日"_qs;
            c.items[kItemMeetName] = u"第1回ベンチマーク水泳大会"_qs;
            c.items[kItemVenue] = u"計測市民プール"_qs;
            c.items[freeTextItem(0)] = layout.freeTexts[0];
            c.items[freeTextItem(1)] = layout.freeTexts[1];
            c.items[kItemClass] = u"一般"_qs;
            certificates.append(c);
        }
        events.append(certificates);
    }
    return events;
}

/// A vector blank certificate: frames, ornaments and a heading in a Japanese face.
void writeBlankCertificate(const QString& path)
{
    QPdfWriter writer(path);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setResolution(72);
    QPainter painter(&writer);
    for (int i = 0; i < 3; ++i)
        painter.drawRect(QRectF(20 + 6 * i, 20 + 6 * i, 555 - 12 * i, 802 - 12 * i));
    QPainterPath ornament;
    for (int i = 0; i < 120; ++i) {
        const double x = 40 + (i % 30) * 17.0;
        const double y = i < 60 ? 50.0 : 790.0;
        ornament.moveTo(x, y);
        ornament.cubicTo(x + 5, y - 12, x + 12, y + 12, x + 17, y);
    }
    painter.drawPath(ornament);
    painter.setFont(QFont(QString::fromUtf16(kCertificateFace), 40));
    painter.drawText(QRectF(0, 80, 595, 60), Qt::AlignCenter, u"賞　　状"_qs);
}

struct Figures {
    double milliseconds = 0;
    double cpuMilliseconds = 0; // user and system: steadier than wall time on a busy machine
    int files = 0;
    qint64 totalBytes = 0;
    qint64 largestBytes = 0;
    long peakKilobytes = 0;
};

double cpuMilliseconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto ms = [](const timeval& t) { return t.tv_sec * 1e3 + t.tv_usec / 1e3; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

long peakKilobytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

void count(Figures& figures, qint64 bytes)
{
    ++figures.files;
    figures.totalBytes += bytes;
    figures.largestBytes = std::max(figures.largestBytes, bytes);
}

/// The event drawn once and split (with or without the blank certificate).
Figures runSplit(const QString& dir, const QList<QList<ECertificate>>& events, bool backdrop)
{
    QString blank;
    if (backdrop) {
        blank = dir + u"/blank.pdf"_qs;
        writeBlankCertificate(blank);
    }
    Figures figures;
    QElapsedTimer timer;
    timer.start();
    ECertificateWriter writer({dir + u"/e-certificates"_qs, benchLayout(), QString(), blank,
                               u"第1回ベンチマーク水泳大会"_qs, QDateTime()});
    for (const EventECertificates& event : writer.writeEvents(events)) {
        for (const ECertificateFile& file : event.written)
            count(figures, file.bytes);
    }
    figures.milliseconds = double(timer.nsecsElapsed()) / 1e6;
    return figures;
}

/// One QPdfWriter document per certificate, each file written as the print run writes its
/// PDF files (flushed, then renamed into place).
Figures runEach(const QString& dir, const QList<QList<ECertificate>>& events)
{
    Figures figures;
    QElapsedTimer timer;
    timer.start();
    const Layout layout = benchLayout();
    EventPdfDevice device;
    for (const QList<ECertificate>& event : events) {
        const QStringList names = planFileNames(event);
        for (qsizetype i = 0; i < event.size(); ++i) {
            device.setDocumentName(ECertificateWriter::documentTitle(event[i]));
            printPage(device, layout, event[i].items, PreviewOnly::No);
            device.endDocument();
            const QByteArray pdf = device.takeDocument();
            writeNewFileInFolder(
                dir + u"/e-certificates/"_qs + names[i].section(u'/', 0, 0),
                [&](int) { return names[i].section(u'/', 1); }, pdf, u"bench"_qs);
            count(figures, pdf.size());
        }
    }
    figures.milliseconds = double(timer.nsecsElapsed()) / 1e6;
    return figures;
}

int runOnly(const QString& approach, const QString& dir, int certificates)
{
    const QList<QList<ECertificate>> events = meetCertificates(certificates);
    const double cpuBefore = cpuMilliseconds();
    Figures figures;
    if (approach == u"each"_qs)
        figures = runEach(dir, events);
    else
        figures = runSplit(dir, events, approach == u"split"_qs);
    figures.cpuMilliseconds = cpuMilliseconds() - cpuBefore;
    figures.peakKilobytes = peakKilobytes();
    std::printf("%.1f %.1f %d %lld %lld %ld\n", figures.milliseconds, figures.cpuMilliseconds,
                figures.files, static_cast<long long>(figures.totalBytes),
                static_cast<long long>(figures.largestBytes), figures.peakKilobytes);
    return 0;
}

std::optional<Figures> runChild(const QString& approach, const QString& dir, int certificates)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(),
                {u"--only"_qs, approach, dir, u"--certificates"_qs, QString::number(certificates)});
    if (!child.waitForFinished(-1) || child.exitCode() != 0)
        return std::nullopt;
    const QStringList f = QString::fromUtf8(child.readAllStandardOutput()).split(u' ');
    if (f.size() != 6)
        return std::nullopt;
    return Figures{f[0].toDouble(),   f[1].toDouble(),   f[2].toInt(),
                   f[3].toLongLong(), f[4].toLongLong(), f[5].trimmed().toLong()};
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    registerFontSubstitutions();
    const QStringList arguments = QGuiApplication::arguments();
    int certificates = kDefaultCertificates;
    if (const qsizetype at = arguments.indexOf(u"--certificates"_qs);
        at > 0 && at + 1 < arguments.size())
        certificates = arguments[at + 1].toInt();
    if (const qsizetype at = arguments.indexOf(u"--only"_qs); at > 0 && at + 2 < arguments.size())
        return runOnly(arguments[at + 1], arguments[at + 2], certificates);

    QTemporaryDir scratch;
    QString keep;
    if (const qsizetype at = arguments.indexOf(u"--keep"_qs); at > 0 && at + 1 < arguments.size())
        keep = arguments[at + 1];
    const QString base = keep.isEmpty() ? scratch.path() : keep;
    std::printf("%d certificates in %lld events\n", certificates,
                static_cast<long long>(meetCertificates(certificates).size()));
    std::printf("%-46s %8s %8s %8s %8s %8s %8s\n", "approach", "ms/cert", "cpu ms", "total s",
                "avg KB", "max KB", "peak MB");
    struct Line {
        const char* approach;
        const char* caption;
    };
    std::optional<Figures> each;
    for (const Line line : {Line{"each", "one QPdfWriter per certificate (no backdrop)"},
                            Line{"bare", "event drawn once, split (no backdrop)"},
                            Line{"split", "event drawn once, split, vector backdrop"}}) {
        const QString dir = base + u'/' + QString::fromLatin1(line.approach);
        QDir().mkpath(dir);
        const std::optional<Figures> f =
            runChild(QString::fromLatin1(line.approach), dir, certificates);
        if (!f || f->files == 0) {
            std::printf("%-46s failed\n", line.caption);
            return 1;
        }
        if (QByteArray(line.approach) == "each")
            each = f;
        std::printf("%-46s %8.2f %8.2f %8.1f %8.1f %8.1f %8.1f", line.caption,
                    f->milliseconds / f->files, f->cpuMilliseconds / f->files,
                    f->milliseconds / 1000, double(f->totalBytes) / f->files / 1024,
                    double(f->largestBytes) / 1024, double(f->peakKilobytes) / 1024);
        if (each && QByteArray(line.approach) != "each")
            std::printf("   ratio %.2f (cpu %.2f)", f->milliseconds / each->milliseconds,
                        f->cpuMilliseconds / each->cpuMilliseconds);
        std::printf("\n");
    }
    return 0;
}
