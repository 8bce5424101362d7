#include "Roman.h"

namespace zel {

namespace {

// Letter at 1-based position pos of s, or nothing beyond its end.
QString letterAt(QLatin1StringView s, qsizetype pos)
{
    return (pos >= 1 && pos <= s.size()) ? QString(s.at(pos - 1)) : QString();
}

} // namespace

QString IntToRoman(int number)
{
    static constexpr QLatin1StringView kOnes("IXCM");
    static constexpr QLatin1StringView kFives("VLD");
    static constexpr QLatin1StringView kRuns("IIIXXXCCCMMM");
    static constexpr QLatin1StringView kNext("VXLCDM");

    const QString digits = QString::number(number);
    QString result;
    for (qsizetype i = 0; i < digits.size(); ++i) {
        const int d = digits.at(digits.size() - 1 - i).digitValue();
        if (d < 0)
            continue;  // the sign of a negative number
        QString part;
        if ((d + 1) % 5 == 0) {
            part = letterAt(kOnes, i + 1) + letterAt(kNext, (d + 1) / 5 + 2 * i);
        } else {
            if (d >= 5)
                part = letterAt(kFives, i + 1);
            for (int k = 0; k < d % 5; ++k)
                part += letterAt(kRuns, 3 * i + 1 + k);
        }
        result.prepend(part);
    }
    return result;
}

} // namespace zel
