#include "Labels.h"

#include <array>

namespace zel {

namespace {

constexpr std::array<const char*, kFreqLabelCount> kFreqLabels = {
    "  DC", "1.22", "2.44", "4.88", "9.76", "19.5", "  50", " 100", " 625", "1250", "2500",
};

constexpr std::array<const char*, kCurrentLabelCount> kCurrentLabels = {
    " 5mA ", " 1mA ", "1,5mA", " 2mA ", " 5mA ", "10mA ", "20mA ", "50mA ", "100mA",
    "200mA", "500mA", "750mA", " 1A  ", "1,25A", "1,5A ", "1,75A", " 2A  ",
};

} // namespace

const char* freqLabelText(int index)
{
    return (index >= 0 && index < kFreqLabelCount) ? kFreqLabels[std::size_t(index)] : nullptr;
}

const char* currentLabelText(int index)
{
    return (index >= 0 && index < kCurrentLabelCount) ? kCurrentLabels[std::size_t(index)] : nullptr;
}

QString freqLabel(int index)
{
    if (const char* label = freqLabelText(index))
        return QString::fromLatin1(label);
    return QStringLiteral("?%1").arg(index).rightJustified(4, QLatin1Char(' '));
}

QString currentLabel(int index)
{
    if (const char* label = currentLabelText(index))
        return QString::fromLatin1(label);
    return QStringLiteral("?%1").arg(index).leftJustified(5, QLatin1Char(' '));
}

} // namespace zel
