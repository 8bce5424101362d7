#include "TimeText.h"

namespace zel {

namespace {

// First character of a format that is neither a field letter nor quoted text,
// after the first field: the separator that the locale puts between fields.
QChar firstSeparator(const QString& format, QChar fallback)
{
    bool inField = false;
    bool seenField = false;
    for (const QChar c : format) {
        if (c == QLatin1Char('\''))
            return fallback;  // quoted literal text: not a plain separator layout
        if (c.isLetter()) {
            inField = true;
            seenField = true;
            continue;
        }
        if (seenField && inField)
            return c.isSpace() ? fallback : c;  // "d MMM yyyy" has no separator of its own
        inField = false;
    }
    return fallback;
}

} // namespace

QString shortDateFormat(const QLocale& locale)
{
    const QString format = locale.dateFormat(QLocale::ShortFormat);
    const QChar none(0);
    return firstSeparator(format, none) == none ? QStringLiteral("dd.MM.yyyy") : format;
}

QString longTimeFormat(const QLocale& locale)
{
    const QString format = locale.timeFormat(QLocale::LongFormat);
    QString out;
    bool quoted = false;
    for (const QChar c : format) {
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        if (!quoted && c == QLatin1Char('t'))
            continue;  // the time zone
        out += c;
    }
    return out.trimmed();
}

QString timeStamp(const QDateTime& when, const QLocale& locale)
{
    return locale.toString(when.date(), shortDateFormat(locale)) + QLatin1Char(' ')
        + locale.toString(when.time(), longTimeFormat(locale));
}

QString timeStamp() { return timeStamp(QDateTime::currentDateTime(), QLocale()); }

DateTimeText::DateTimeText(const QLocale& locale)
    : m_locale(locale)
    , m_dateFormat(shortDateFormat(locale))
    , m_timeFormat(longTimeFormat(locale))
{
}

QString DateTimeText::operator()(QDate date, QTime time) const
{
    QString text = QLatin1Char(' ') + m_locale.toString(date, m_dateFormat);
    if (time != QTime(0, 0))
        text += QLatin1Char(' ') + m_locale.toString(time, m_timeFormat);
    return text;
}

DateTimeSeparators DateTimeSeparators::of(const QLocale& locale)
{
    DateTimeSeparators s;
    s.date = firstSeparator(locale.dateFormat(QLocale::ShortFormat), s.date);
    s.time = firstSeparator(longTimeFormat(locale), s.time);
    return s;
}

} // namespace zel
