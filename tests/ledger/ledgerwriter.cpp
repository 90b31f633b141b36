// The other desk for the ledger test: records COUNT one-certificate documents into the
// ledger at PATH as fast as it can. Usage: ledgerwriter PATH COUNT
#include "ledger/ledger.h"
#include "platform/failure.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 3)
        return 2;
    try {
        tarvel::Ledger ledger(QString::fromLocal8Bit(argv[1]));
        for (int i = 0, count = std::atoi(argv[2]); i < count; ++i) {
            tarvel::LedgerCertificate certificate;
            certificate.raceNo = certificate.heat = 500 + i;
            certificate.items[4] = u"あちら"_qs;
            ledger.record({QDateTime::currentDateTime(), u"other"_qs, u"desk-2"_qs, 0,
                           tarvel::JobState::Written},
                          {certificate}, u"there"_qs);
        }
    } catch (const tarvel::Failure& failure) {
        std::fprintf(stderr, "%s\n", failure.what());
        return 1;
    }
    return 0;
}
