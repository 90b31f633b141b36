#include "platform/qt/fontchooser.h"
#include "platform/qt/fonts.h"
#include "platform/qt/textpainter.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <QTimer>

#include <functional>

namespace tarvel {
namespace {

TEST(FontSubstitutionTest, WindowsFacesResolveToTheirStandIns)
{
    const QString brush = QString::fromUtf16(kCertificateFace);
    const QString gothic = QString::fromUtf16(kWindowFace);
    // Qt keeps substitutions in lower case.
    EXPECT_EQ(QFont::substitutes(gothic).value(0), u"ipapgothic"_qs);
    EXPECT_EQ(QFont::substitutes(brush).mid(0, 2),
              (QStringList{u"aoyagikouzanfontt"_qs, u"ipapmincho"_qs}));
    EXPECT_EQ(QFontInfo(QFont(gothic)).family(), u"IPAPGothic"_qs);
    EXPECT_EQ(QFontInfo(QFont(brush)).family(), u"AoyagiKouzanFontT"_qs);

    registerFontSubstitutions(); // again: nothing changes
    EXPECT_EQ(QFont::substitutes(brush).count(u"aoyagikouzanfontt"_qs), 1);
}

TEST(FontSubstitutionTest, UsableFaceAndFallbacks)
{
    const QString brush = QString::fromUtf16(kCertificateFace);
    EXPECT_EQ(usableFace(QString()), brush);
    EXPECT_EQ(usableFace(u"  "_qs), brush);
    EXPECT_EQ(usableFace(u"No Such Face 123"_qs), brush);
    EXPECT_EQ(usableFace(u"IPAPGothic"_qs), u"IPAPGothic"_qs);
    EXPECT_EQ(usableFace(QString::fromUtf16(kWindowFace)), QString::fromUtf16(kWindowFace));

    const QStringList fallbacks = fallbackFaces(u"IPAPGothic"_qs);
    EXPECT_FALSE(fallbacks.contains(u"IPAPGothic"_qs));
    EXPECT_TRUE(fallbacks.contains(u"IPAPMincho"_qs));
    EXPECT_EQ(fallbackFaces(brush).value(0), u"AoyagiKouzanFontT"_qs);
}

TEST(TextPainterTest, EmptyGlyphsGoToTheFirstFaceWithInk)
{
    TextPainter painter;
    const QString brush = QString::fromUtf16(kCertificateFace);
    const QList<TextPainter::Run> runs = painter.runs(brush, u"髙橋 様～"_qs);
    ASSERT_EQ(runs.size(), 3);
    EXPECT_EQ(runs[0].text, u"髙"_qs);
    EXPECT_EQ(runs[0].face, u"IPAPMincho"_qs);
    EXPECT_EQ(runs[1].text, u"橋 様"_qs) << "a blank stays with the run before it";
    EXPECT_EQ(runs[1].face, brush);
    EXPECT_EQ(runs[2].text, u"～"_qs);
    EXPECT_EQ(runs[2].face, u"IPAPMincho"_qs);

    // A face without Japanese borrows every Japanese character; Latin stays its own.
    const QString latin = u"DejaVu Sans"_qs;
    if (QFontDatabase::hasFamily(latin)) {
        const QList<TextPainter::Run> mixed = painter.runs(latin, u"No.12 山田"_qs);
        ASSERT_EQ(mixed.size(), 2);
        EXPECT_EQ(mixed[0].face, latin);
        EXPECT_NE(mixed[1].face, latin);
    }
    EXPECT_TRUE(painter.runs(brush, QString()).isEmpty());
}

TEST(TextPainterTest, GlyphsAPdfWouldNameWronglyAreOutlinedUnderSearchableText)
{
    // The IPA faces share one glyph for 〜 and ～; a PDF names it by the lower, 〜.
    TextPainter painter(TextLayer::Searchable);
    const QString brush = QString::fromUtf16(kCertificateFace);
    const QList<TextPainter::Run> runs = painter.runs(brush, u"髙～橋"_qs);
    ASSERT_EQ(runs.size(), 3);
    EXPECT_EQ(runs[0].face, u"IPAPMincho"_qs);
    EXPECT_FALSE(runs[0].outlined);
    EXPECT_EQ(runs[1].text, u"～"_qs);
    EXPECT_EQ(runs[1].face, u"IPAPMincho"_qs);
    EXPECT_TRUE(runs[1].outlined);
    EXPECT_EQ(runs[1].textFace, brush) << "its empty glyph still reads back as ～";
    EXPECT_FALSE(runs[2].outlined);

    const QList<TextPainter::Run> own = painter.runs(u"IPAPGothic"_qs, u"10～12"_qs);
    ASSERT_EQ(own.size(), 3);
    EXPECT_TRUE(own[1].outlined) << "even in the face's own glyph";
    EXPECT_EQ(own[1].face, u"IPAPGothic"_qs);
    EXPECT_FALSE(own[1].textFace.isEmpty());
}

TEST(TextPainterTest, RunsKeepEveryCharacterInOrder)
{
    const QString brush = QString::fromUtf16(kCertificateFace);
    const QString lone = QString(QChar(0xD800));
    struct Case {
        QString text;
        QString drawn; // what the runs hold together
        bool oneRun;   // wholly in the face, not outlined
    };
    const Case cases[] = {
        {u"計測　選手15"_qs, u"計測　選手15"_qs, true},
        {u"  先頭"_qs, u"  先頭"_qs, true},
        {u"葛\U000E0100城"_qs, u"葛\U000E0100城"_qs, true}, // a variation selector stays
        {u"𠮷野家"_qs, u"𠮷野家"_qs, false},
        {u"髙橋 様～"_qs, u"髙橋 様～"_qs, false},
        {lone + u"山"_qs, QString(QChar::ReplacementCharacter) + u"山"_qs, false},
        {u"山"_qs + lone, u"山"_qs + QChar(QChar::ReplacementCharacter), false},
    };
    for (const TextLayer layer : {TextLayer::InkOnly, TextLayer::Searchable}) {
        TextPainter painter(layer);
        for (const Case& c : cases) {
            const QList<TextPainter::Run> runs = painter.runs(brush, c.text);
            QString drawn;
            for (const TextPainter::Run& run : runs)
                drawn += run.text;
            EXPECT_EQ(drawn, c.drawn) << c.text.toStdString();
            if (c.oneRun) {
                ASSERT_EQ(runs.size(), 1) << c.text.toStdString();
                EXPECT_EQ(runs[0].face, brush);
                EXPECT_FALSE(runs[0].outlined);
            }
        }
    }
}

/// Runs `act` on the font dialog once it is shown.
void whenDialogShows(std::function<void(QFontDialog&)> act)
{
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        auto* dialog = qobject_cast<QFontDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        timer->stop();
        timer->deleteLater();
        act(*dialog);
    });
    timer->start(10);
}

TEST(FontChooserTest, OnlyTheFaceIsTakenAndACancelReportsTheLastFace)
{
    FontChooser chooser;
    whenDialogShows([](QFontDialog& dialog) { dialog.reject(); });
    EXPECT_EQ(chooser.choose(), QString()) << "nothing chosen yet";

    whenDialogShows([](QFontDialog& dialog) {
        QFont font(u"IPAPMincho"_qs);
        font.setPointSize(40);
        font.setBold(true);
        dialog.setCurrentFont(font);
        dialog.accept();
    });
    EXPECT_EQ(chooser.choose(), u"IPAPMincho"_qs);

    whenDialogShows([](QFontDialog& dialog) {
        dialog.setCurrentFont(QFont(u"IPAPGothic"_qs));
        dialog.reject();
    });
    EXPECT_EQ(chooser.choose(), u"IPAPMincho"_qs);
    EXPECT_EQ(chooser.reportedFace(), u"IPAPMincho"_qs);
}

} // namespace
} // namespace tarvel
