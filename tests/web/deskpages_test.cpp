#include "web/deskpages.h"

#include "gatefixture.h"
#include "layout/certificateitems.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <mutex>

namespace tarvel::web::testing {
namespace {

using namespace Qt::StringLiterals;

/// A ledger of three documents: race 12's two certificates, race 13's one (its job
/// canceled), and a test page; pages whose reprints are only noted.
class DeskPagesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ledgerPath_ = dir_.path() + u"/tarvel-ledger.db"_s;
        Ledger ledger(ledgerPath_);
        const auto document = [](int race, JobState state, DocumentKind kind) {
            LedgerDocument d;
            d.printedAt = QDateTime::currentDateTime();
            d.title = u"R%1"_s.arg(race);
            d.destination = u"printer"_s;
            d.jobId = race;
            d.state = state;
            d.kind = kind;
            return d;
        };
        const auto certificate = [](int race, int lane, const QString& name) {
            LedgerCertificate c;
            c.raceNo = race;
            c.heat = race;
            c.lane = lane;
            c.items[kItemName] = name;
            return c;
        };
        race12_ = ledger.record(
            document(12, JobState::Completed, DocumentKind::Certificates),
            {certificate(12, 0, u"山田太郎"_s), certificate(12, 1, u"佐藤花子"_s)}, u"test"_s);
        race13_ = ledger.record(document(13, JobState::Canceled, DocumentKind::Certificates),
                                {certificate(13, 2, u"鈴木一郎"_s)}, u"test"_s);
        ledger.record(document(0, JobState::Aborted, DocumentKind::TestPage), {}, u"test"_s);
        for (const LedgerEntry& entry : ledger.entries())
            idOf_[entry.certificate.items[kItemName]] = entry.id;
        setCodes(gate_);
    }

    DeskPages pages(ReprintAnswer answer)
    {
        return DeskPages(
            gate_, ledgerPath_,
            [this, answer](const QList<LedgerEntry>& entries, const std::string& remote) {
                const std::lock_guard lock(mutex_);
                QList<qint64> ids;
                for (const LedgerEntry& entry : entries)
                    ids << entry.id;
                asked_.push_back({ids, remote});
                return answer;
            });
    }

    std::string id(const QString& name) { return std::to_string(idOf_.value(name)); }

    struct Asked {
        QList<qint64> ids;
        std::string remote;
    };
    QTemporaryDir dir_;
    QString ledgerPath_;
    qint64 race12_ = 0;
    qint64 race13_ = 0;
    QHash<QString, qint64> idOf_;
    TurnedClock time_;
    Gate gate_{time_.clock()};
    std::mutex mutex_;
    std::vector<Asked> asked_;
};

TEST_F(DeskPagesTest, ReprintsWhatWasChosenForWhoAsked)
{
    const GateSession desk = *gate_.login(GateKind::Desk, "10.1.1.1", kDeskPin).session;
    const GateSession team = *gate_.login(GateKind::Team, "10.1.1.1", kTeamCode).session;
    const std::string csrf = "&csrf=" + desk.csrf;
    const QString yamada = u"山田太郎"_s;
    const QString sato = u"佐藤花子"_s;
    const QString suzuki = u"鈴木一郎"_s;
    struct Case {
        const char* name;
        std::optional<GateSession> session;
        std::string body;
        ReprintAnswer answer;
        int status;
        std::optional<QList<qint64>> reprinted; ///< what the desk was given, oldest first
    };
    const QList<qint64> one = {idOf_[yamada]};
    const Case cases[] = {
        {"one row", desk, "id=" + id(yamada) + csrf, ReprintAnswer::Accepted, 202, one},
        {"two rows of one event, oldest first", desk, "id=" + id(sato) + "&id=" + id(yamada) + csrf,
         ReprintAnswer::Accepted, 202, QList<qint64>{idOf_[yamada], idOf_[sato]}},
        {"a failed job", desk, "doc=" + std::to_string(race13_) + csrf, ReprintAnswer::Accepted,
         202, QList<qint64>{idOf_[suzuki]}},
        {"the printer busy", desk, "id=" + id(yamada) + csrf, ReprintAnswer::Busy, 409, one},
        {"two events are asked again first", desk, "id=" + id(yamada) + "&id=" + id(suzuki) + csrf,
         ReprintAnswer::Accepted, 200, std::nullopt},
        {"and printed when confirmed", desk,
         "id=" + id(yamada) + "&id=" + id(suzuki) + "&confirm=1" + csrf, ReprintAnswer::Accepted,
         202, QList<qint64>{idOf_[yamada], idOf_[suzuki]}},
        {"no row known", desk, "id=999999&id=x&doc=-1" + csrf, ReprintAnswer::Accepted, 400,
         std::nullopt},
        {"without the CSRF token", desk, "id=" + id(yamada), ReprintAnswer::Accepted, 403,
         std::nullopt},
        {"with a wrong CSRF token", desk, "id=" + id(yamada) + "&csrf=" + team.csrf,
         ReprintAnswer::Accepted, 403, std::nullopt},
        {"from another site with the right token", desk,
         "id=" + id(yamada) + csrf + "&from=elsewhere", ReprintAnswer::Accepted, 403, std::nullopt},
        {"with the team's session", team, "id=" + id(yamada) + "&csrf=" + team.csrf,
         ReprintAnswer::Accepted, 401, std::nullopt},
        {"without a session", std::nullopt, "id=" + id(yamada) + csrf, ReprintAnswer::Accepted, 401,
         std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        asked_.clear();
        DeskPages desk = pages(c.answer);
        HttpRequest request = formPost("/desk/reprint", c.body);
        request.remoteAddress = "192.168.7.9";
        if (c.body.ends_with("&from=elsewhere"))
            request.headers.emplace_back("origin", "http://elsewhere.example");
        if (c.session)
            request = withSession(request, *c.session);
        const std::optional<HttpResponse> answer = desk.handle(request);
        ASSERT_TRUE(answer);
        EXPECT_EQ(answer->status, c.status);
        if (!c.reprinted) {
            EXPECT_TRUE(asked_.empty());
            continue;
        }
        ASSERT_EQ(asked_.size(), 1u);
        EXPECT_EQ(asked_[0].ids, *c.reprinted);
        EXPECT_EQ(asked_[0].remote, "192.168.7.9");
    }
}

TEST_F(DeskPagesTest, HistoryBehindThePin)
{
    DeskPages desk = pages(ReprintAnswer::Accepted);
    const HttpResponse login = *desk.handle(get("/desk"));
    EXPECT_EQ(login.status, 200);
    EXPECT_NE(login.body.find("action=\"/desk/login\""), std::string::npos);
    EXPECT_EQ(login.body.find("山田"), std::string::npos);
    EXPECT_EQ(desk.handle(formPost("/desk/login", "code=" + kTeamCode.toStdString()))->status, 401);
    EXPECT_FALSE(desk.handle(get("/desktop")));

    const GateSession session = *gate_.login(GateKind::Desk, "10.1.1.1", kDeskPin).session;
    const HttpResponse page = *desk.handle(withSession(get("/desk"), session));
    EXPECT_EQ(page.status, 200);
    EXPECT_NE(page.body.find("value=\"" + session.csrf + "\""), std::string::npos);
    for (const char* name : {"山田太郎", "佐藤花子", "鈴木一郎"})
        EXPECT_NE(page.body.find(name), std::string::npos) << name;
    // The failed job with certificates can be chosen; the test page cannot.
    EXPECT_NE(page.body.find("name=\"doc\" value=\"" + std::to_string(race13_) + "\""),
              std::string::npos);
    EXPECT_EQ(page.body.find("name=\"doc\" value=\"" + std::to_string(race12_) + "\""),
              std::string::npos);

    const HttpResponse found =
        *desk.handle(withSession(get("/desk?q=" + percentEncode("鈴木")), session));
    EXPECT_NE(found.body.find("鈴木一郎"), std::string::npos);
    EXPECT_EQ(found.body.find("山田太郎"), std::string::npos);
}

} // namespace
} // namespace tarvel::web::testing
