#include "sampleswimming.h"

#include <algorithm>

namespace tarvel::sample {

QString sexCode(Sex sex)
{
    return sex == Sex::Girls ? u"2"_qs : u"1"_qs;
}

QString raceSex(Sex sex)
{
    switch (sex) {
    case Sex::Boys: return u"1"_qs;
    case Sex::Girls: return u"2"_qs;
    case Sex::Mixed: return u"3"_qs; // neither: its certificates form one group
    }
    return QString();
}

QString gradeCode(int age)
{
    if (age <= 12)
        return QString::number(10 + std::clamp(age - 6, 1, 6));
    if (age <= 14)
        return QString::number(20 + age - 12);
    if (age <= 17)
        return QString::number(30 + age - 14);
    return u"41"_qs;
}

double basePer100(Stroke stroke)
{
    switch (stroke) {
    case Stroke::Free:
    case Stroke::FreeRelay: return 58.0;
    case Stroke::Back: return 65.0;
    case Stroke::Breast: return 73.0;
    case Stroke::Fly: return 62.0;
    case Stroke::IndividualMedley:
    case Stroke::MedleyRelay: return 66.0;
    }
    return 60.0;
}

double ageFactor(int age)
{
    if (age <= 8)
        return 1.75;
    if (age <= 10)
        return 1.45;
    if (age <= 12)
        return 1.25;
    if (age <= 14)
        return 1.10;
    if (age <= 16)
        return 1.00;
    return 0.97;
}

double distanceFactor(int metres)
{
    double factor = metres / 100.0;
    if (metres >= 200)
        factor *= 1.07;
    if (metres >= 400)
        factor *= 1.04;
    if (metres >= 800)
        factor *= 1.03;
    return factor;
}

qint32 resultOf(qint64 hundredths)
{
    const qint64 minutes = hundredths / 6000;
    const qint64 seconds = (hundredths % 6000) / 100;
    return qint32(minutes * 10000 + seconds * 100 + hundredths % 100);
}

} // namespace tarvel::sample
