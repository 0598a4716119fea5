#pragma once

#include <QString>
#include <QStringView>

#include <compare>
#include <limits>
#include <optional>

// A signed 64-bit fixed-point number with four decimal places, the form in
// which text sizes are kept.
class FixedPoint
{
public:
    static constexpr qint64 Scale = 10000;

    constexpr FixedPoint() = default;
    static constexpr FixedPoint fromUnits(qint64 tenThousandths) { return FixedPoint(tenThousandths); }
    static constexpr FixedPoint fromWhole(qint64 whole) { return FixedPoint(whole * Scale); }

    constexpr qint64 units() const { return m_units; }
    double toDouble() const { return double(m_units) / Scale; }
    float toFloat() const { return float(toDouble()); }

    // Shortest decimal text with "." as separator: "24", "19.5", "-0.0625".
    QString toText() const;
    // Reads text written with "." or "," as separator; nullopt when the text is
    // not a number or lies outside the type's range.
    static std::optional<FixedPoint> fromText(QStringView text);

    friend constexpr auto operator<=>(FixedPoint, FixedPoint) = default;

private:
    constexpr explicit FixedPoint(qint64 units) : m_units(units) {}
    qint64 m_units = 0;
};
