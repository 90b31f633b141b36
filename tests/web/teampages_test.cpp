#include "web/teampages.h"

#include "gatefixture.h"
#include "ledger/ledger.h"
#include "tempmeet.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

namespace tarvel::web::testing {
namespace {

using namespace Qt::StringLiterals;

/// A data folder with e-certificates, files elsewhere, and a ledger naming them all.
class TeamPagesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        data_ = dir_.path() + u"/data"_s;
        root_ = data_ + u"/e-certificates"_s;
        QDir().mkpath(root_ + u"/クラブＡ"_s);
        QDir().mkpath(root_ + u"/Other"_s);
        write(root_ + u"/クラブＡ/山田太郎.pdf"_s, "%PDF yamada");
        write(root_ + u"/クラブＡ/佐藤 花子.pdf"_s, "%PDF sato");
        write(root_ + u"/Other/x.pdf"_s, "%PDF other");
        write(root_ + u"/top.pdf"_s, "%PDF top");
        write(data_ + u"/outside.pdf"_s, "%PDF outside");
        QFile::link(data_ + u"/outside.pdf"_s, root_ + u"/Other/link.pdf"_s);

        const QString a1 = root_ + u"/クラブＡ/山田太郎.pdf"_s;
        Ledger ledger(data_ + u"/tarvel-ledger.db"_s);
        const QList<std::pair<QString, DocumentKind>> documents = {
            {a1, DocumentKind::ECertificates},
            {root_ + u"/クラブＡ/佐藤 花子.pdf"_s, DocumentKind::ECertificates},
            {root_ + u"/Other/x.pdf"_s, DocumentKind::ECertificates},
            {data_ + u"/outside.pdf"_s, DocumentKind::ECertificates},
            {root_ + u"/クラブＡ/../../outside.pdf"_s, DocumentKind::ECertificates},
            {root_ + u"/Other/link.pdf"_s, DocumentKind::ECertificates},
            {root_ + u"/top.pdf"_s, DocumentKind::ECertificates},
            {u"e-certificates/Other/x.pdf"_s, DocumentKind::ECertificates},
            {root_ + u"/Other/gone.pdf"_s, DocumentKind::ECertificates},
            {a1, DocumentKind::Certificates},
        };
        QList<LedgerDocument> recorded;
        for (const auto& [path, kind] : documents) {
            LedgerDocument document;
            document.printedAt = QDateTime::currentDateTime();
            document.title = QFileInfo(path).fileName();
            document.destination = path;
            document.state = JobState::Completed;
            document.kind = kind;
            recorded << document;
        }
        ids_ = ledger.recordDocuments(recorded, u"test"_s);
        setCodes(gate_);
    }

    static void write(const QString& path, const QByteArray& bytes)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    GateSession login() { return *gate_.login(GateKind::Team, "192.168.1.20", kTeamCode).session; }

    static std::string fileTarget(qint64 id) { return "/team/file/" + std::to_string(id); }

    QTemporaryDir dir_;
    QString data_;
    QString root_;
    QList<qint64> ids_;
    TurnedClock time_;
    Gate gate_{time_.clock()};
};

TEST_F(TeamPagesTest, OnlyFilesOfAnAffiliationByLedgerId)
{
    TeamPages pages(gate_, data_ + u"/tarvel-ledger.db"_s, root_);
    const GateSession session = login();
    struct Case {
        const char* name;
        std::string target;
        int status;
        QString file; ///< the file served, when 200
    };
    const Case cases[] = {
        {"an affiliation's file", fileTarget(ids_[0]), 200, root_ + u"/クラブＡ/山田太郎.pdf"_s},
        {"a name with a blank", fileTarget(ids_[1]) + "?x=1", 200,
         root_ + u"/クラブＡ/佐藤 花子.pdf"_s},
        {"a row outside e-certificates", fileTarget(ids_[3]), 404, {}},
        {"a row climbing out with ..", fileTarget(ids_[4]), 404, {}},
        {"a link inside pointing out", fileTarget(ids_[5]), 404, {}},
        {"a file of no affiliation", fileTarget(ids_[6]), 404, {}},
        {"a relative row", fileTarget(ids_[7]), 404, {}},
        {"a file gone", fileTarget(ids_[8]), 404, {}},
        {"a printed document's row", fileTarget(ids_[9]), 404, {}},
        {"an unknown id", fileTarget(ids_.last() + 100), 404, {}},
        {"a path instead of an id", "/team/file/../../outside.pdf", 404, {}},
        {"an encoded path", "/team/file/..%2F..%2Foutside.pdf", 404, {}},
        {"an encoded id", "/team/file/%3" + std::to_string(ids_[0]).substr(1), 404, {}},
        {"a signed id", "/team/file/+" + std::to_string(ids_[0]), 404, {}},
        {"more after the id", fileTarget(ids_[0]) + "/x", 404, {}},
        {"no id", "/team/file/", 404, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<HttpResponse> answer =
            pages.handle(withSession(get(c.target), session));
        ASSERT_TRUE(answer);
        EXPECT_EQ(answer->status, c.status);
        if (c.status != 200) {
            EXPECT_TRUE(answer->filePath.empty());
            continue;
        }
        EXPECT_EQ(answer->contentType, "application/pdf");
        EXPECT_EQ(tarvel::testing::readFileBytes(QString::fromStdString(answer->filePath)),
                  tarvel::testing::readFileBytes(c.file));
        const auto disposition =
            std::find_if(answer->headers.begin(), answer->headers.end(),
                         [](const auto& h) { return h.first == "Content-Disposition"; });
        ASSERT_NE(disposition, answer->headers.end());
        EXPECT_NE(
            disposition->second.find("filename*=UTF-8''"
                                     + percentEncode(QFileInfo(c.file).fileName().toStdString())),
            std::string::npos);
    }
}

TEST_F(TeamPagesTest, NothingWithoutTheAccessCode)
{
    TeamPages pages(gate_, data_ + u"/tarvel-ledger.db"_s, root_);
    const GateSession desk = *gate_.login(GateKind::Desk, "192.168.1.20", kDeskPin).session;
    struct Case {
        const char* name;
        HttpRequest request;
        int status;
    };
    const Case cases[] = {
        {"a file", get(fileTarget(ids_[0])), 401},
        {"a file with the desk's session", withSession(get(fileTarget(ids_[0])), desk), 401},
        {"an affiliation", get("/team?a=Other"), 200}, // the login form, nothing else
        {"the ZIP", formPost("/team/zip", "a=Other"), 401},
        {"a wrong code", formPost("/team/login", "code=1357"), 401},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<HttpResponse> answer = pages.handle(c.request);
        ASSERT_TRUE(answer);
        EXPECT_EQ(answer->status, c.status);
        EXPECT_TRUE(answer->filePath.empty());
        EXPECT_EQ(answer->body.find("x.pdf"), std::string::npos);
    }
    EXPECT_FALSE(pages.handle(get("/teams")));
    EXPECT_FALSE(pages.handle(get("/desk")));
    EXPECT_TRUE(QDir(root_).entryList({u"*.zip"_s}).isEmpty());
}

TEST_F(TeamPagesTest, LoginThenAffiliationsThenZip)
{
    TeamPages pages(gate_, data_ + u"/tarvel-ledger.db"_s, root_);
    HttpRequest elsewhere = formPost("/team/login", "code=" + kTeamCode.toStdString());
    elsewhere.headers.emplace_back("origin", "http://evil.example");
    EXPECT_EQ(pages.handle(elsewhere)->status, 403);

    const HttpResponse in =
        *pages.handle(formPost("/team/login", "code=" + kTeamCode.toStdString()));
    ASSERT_EQ(in.status, 303);
    std::string cookie;
    for (const auto& [name, value] : in.headers)
        if (name == "Set-Cookie")
            cookie = value.substr(0, value.find(';'));
    ASSERT_FALSE(cookie.empty());
    auto asked = [&](HttpRequest request) {
        request.headers.emplace_back("cookie", cookie);
        return *pages.handle(request);
    };

    const HttpResponse list = asked(get("/team"));
    EXPECT_EQ(list.status, 200);
    for (const char* shown : {"クラブＡ", "Other", "/team?a=Other"})
        EXPECT_NE(list.body.find(shown), std::string::npos) << shown;
    const HttpResponse club = asked(get("/team?a=" + percentEncode("クラブＡ")));
    EXPECT_EQ(club.status, 200);
    EXPECT_NE(club.body.find(fileTarget(ids_[0])), std::string::npos);
    EXPECT_EQ(club.body.find(fileTarget(ids_[2])), std::string::npos);
    EXPECT_EQ(asked(get("/team?a=..")).status, 404);

    // The ZIP needs the page's token.
    HttpRequest page = get("/team");
    page.headers.emplace_back("cookie", cookie);
    const std::string csrf = gate_.sessionOf(GateKind::Team, page)->csrf;
    const std::string affiliation = "a=" + percentEncode("クラブＡ");
    EXPECT_EQ(asked(formPost("/team/zip", affiliation)).status, 403);
    EXPECT_EQ(asked(formPost("/team/zip", affiliation + "&csrf=bad")).status, 403);
    EXPECT_TRUE(QDir(root_).entryList({u"*.zip"_s}).isEmpty());
    EXPECT_EQ(asked(formPost("/team/zip", "a=..&csrf=" + csrf)).status, 404);

    const HttpResponse zip = asked(formPost("/team/zip", affiliation + "&csrf=" + csrf));
    ASSERT_EQ(zip.status, 200);
    EXPECT_EQ(zip.contentType, "application/zip");
    EXPECT_TRUE(QFileInfo(QString::fromStdString(zip.filePath)).canonicalPath()
                == QFileInfo(root_).canonicalFilePath());
    // Python's zipfile lists what it holds.
    QProcess python;
    python.start(u"python3"_s,
                 {u"-c"_s,
                  u"import sys, zipfile\n"
                  "for n in sorted(zipfile.ZipFile(sys.argv[1]).namelist()): print(n)"_s,
                  QString::fromStdString(zip.filePath)});
    ASSERT_TRUE(python.waitForFinished(30000));
    EXPECT_EQ(QString::fromUtf8(python.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts),
              (QStringList{u"クラブＡ/佐藤 花子.pdf"_s, u"クラブＡ/山田太郎.pdf"_s}));
}

} // namespace
} // namespace tarvel::web::testing
