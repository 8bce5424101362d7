#pragma once

#include <QChar>
#include <QDateTime>
#include <QLocale>
#include <QString>

namespace zel {

// The user's short date format; "dd.MM.yyyy" for a locale whose short date
// has no separator between its fields (the C locale's "d MMM yyyy"), the form
// the text table then uses too.
QString shortDateFormat(const QLocale& locale);

// The user's long time format: hours, minutes and seconds as the locale
// writes them, without the time zone that Qt's own long format appends.
QString longTimeFormat(const QLocale& locale);

// Date and time of the user's locale: the short date format, a blank and the
// long time format ("07.12.2026 10:11:12" under a Russian locale).
QString timeStamp(const QDateTime& when, const QLocale& locale);
QString timeStamp();  // now, in the user's locale

// The spreadsheet's date-time text: a blank and the short date, then, unless
// the time is exactly midnight, a blank and the long time. The formats are
// taken from the locale once; no time zone is involved.
class DateTimeText {
public:
    explicit DateTimeText(const QLocale& locale);
    QString operator()(QDate date, QTime time) const;

private:
    QLocale m_locale;
    QString m_dateFormat;
    QString m_timeFormat;
};

// Separators of the user's locale between day, month and year and between
// hours, minutes and seconds, taken from its short date and long time formats.
struct DateTimeSeparators {
    QChar date = QLatin1Char('.');
    QChar time = QLatin1Char(':');
    static DateTimeSeparators of(const QLocale& locale);
};

} // namespace zel
