// Stands in for the meet-management system in the race-status tests: rewrites the status
// bytes of races FIRST to LAST of a Race.dat, pass after pass, as fast as it can. Before
// each write it checks that the byte still holds what it wrote there last; a difference
// means someone else wrote an old value back. It stops after the pass during which
// STOP_FILE appeared.
//
// Usage: racestatus_rival RACE_DAT FIRST LAST STOP_FILE
// Prints "ready" after its first pass, and at the end "passes P lost L last C".

#include <QFile>

#include <cstdio>
#include <cstdlib>

namespace {

char passValue(long pass)
{
    return char('A' + pass % 26);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 5) {
        std::fprintf(stderr, "usage: racestatus_rival RACE_DAT FIRST LAST STOP_FILE\n");
        return 2;
    }
    QFile file(QString::fromLocal8Bit(argv[1]));
    const long first = std::atol(argv[2]);
    const long last = std::atol(argv[3]);
    const QString stopFile = QString::fromLocal8Bit(argv[4]);
    if (!file.open(QIODevice::ReadWrite | QIODevice::Unbuffered)) {
        std::fprintf(stderr, "cannot open %s\n", argv[1]);
        return 1;
    }

    long lost = 0;
    long pass = 0;
    for (;; ++pass) {
        const char value = passValue(pass);
        for (long race = first; race <= last; ++race) {
            char seen = 0;
            if (!file.seek(race - 1) || file.read(&seen, 1) != 1)
                return 1;
            if (pass > 0 && seen != passValue(pass - 1))
                ++lost;
            if (!file.seek(race - 1) || file.write(&value, 1) != 1)
                return 1;
        }
        if (pass == 0) {
            std::printf("ready\n");
            std::fflush(stdout);
        }
        if (QFile::exists(stopFile) || pass > 1000000)
            break;
    }
    std::printf("passes %ld lost %ld last %c\n", pass + 1, lost, passValue(pass));
    return 0;
}
