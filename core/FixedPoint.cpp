#include "core/FixedPoint.h"

QString FixedPoint::toText() const
{
    const bool negative = m_units < 0;
    // Work on the magnitude as unsigned so the most negative value has one.
    const quint64 magnitude = negative ? quint64(0) - quint64(m_units) : quint64(m_units);
    QString text = QString::number(magnitude / Scale);
    if (const quint64 fraction = magnitude % Scale) {
        QString digits = QStringLiteral("%1").arg(fraction, 4, 10, QLatin1Char('0'));
        while (digits.endsWith(u'0'))
            digits.chop(1);
        text += u'.' + digits;
    }
    return negative ? u'-' + text : text;
}

std::optional<FixedPoint> FixedPoint::fromText(QStringView text)
{
    text = text.trimmed();
    bool negative = false;
    if (!text.isEmpty() && (text.front() == u'-' || text.front() == u'+')) {
        negative = text.front() == u'-';
        text = text.mid(1);
    }
    qsizetype point = text.indexOf(u'.');
    if (point < 0)
        point = text.indexOf(u',');
    const QStringView whole = point < 0 ? text : text.left(point);
    const QStringView fraction = point < 0 ? QStringView() : text.mid(point + 1);
    if (whole.isEmpty() && fraction.isEmpty())
        return std::nullopt;
    // The magnitude may reach one more on the negative side, as qint64 does.
    const quint64 limit = quint64(std::numeric_limits<qint64>::max()) + (negative ? 1 : 0);
    quint64 units = 0;
    for (const QChar ch : whole) {
        if (!ch.isDigit() || ch.unicode() > '9')
            return std::nullopt;
        units = units * 10 + (ch.unicode() - '0');
        if (units > limit / Scale)
            return std::nullopt;
    }
    units *= Scale;
    quint64 place = Scale / 10;
    for (const QChar ch : fraction) {
        if (!ch.isDigit() || ch.unicode() > '9')
            return std::nullopt;
        // Digits past the fourth place cannot be kept; they are dropped.
        units += (ch.unicode() - '0') * place;
        place /= 10;
    }
    if (units > limit)
        return std::nullopt;
    // Unsigned negation, then a modular conversion: defined for every magnitude.
    return FixedPoint(qint64(negative ? quint64(0) - units : units));
}
