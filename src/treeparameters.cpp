// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#include "treeparameters.h"

#include <QRegularExpression>
#include <QStringList>

#include <algorithm>
#include <array>

namespace {

// How each value is written: its name, and how many slider units make one
// unit written (half degrees a degree, hundredths a factor, levels a level)
struct Value
{
    const char *name;
    int TreeParameters::*field;
    int perUnit;
    int decimals;
};

const std::array<Value, 5> values {{
        {"angle", &TreeParameters::winkel, 2, 1},
        {"angle-scale", &TreeParameters::winkelSkal, 100, 2},
        {"length", &TreeParameters::laenge, 100, 2},
        {"length-reduction", &TreeParameters::verkuerzung, 100, 2},
        {"depth", &TreeParameters::rekTiefe, 1, 0},
}};

const QLatin1String lineStart("linetree");

QStringList wordsOf(const QString &line)
{
    static const QRegularExpression blanks("\\s+");
    return line.split(blanks, Qt::SkipEmptyParts);
}

QString written(const Value &value, int units)
{
    return QString::number(double(units) / value.perUnit, 'f', value.decimals);
}

// The slider units that a decimal number stands for, read exactly; false
// where it is not a number or falls between two steps
bool readUnits(const Value &value, const QString &text, int *units, bool *onStep)
{
    static const QRegularExpression decimal("^(-?)(\\d{1,9})(?:\\.(\\d{1,6}))?$");
    const QRegularExpressionMatch match = decimal.match(text);
    if (!match.hasMatch())
        return false;
    const QString fraction = match.captured(3);
    qint64 scale = 1;
    for (int i = 0; i < fraction.size(); ++i)
        scale *= 10;
    const qint64 scaled
            = (match.captured(2).toLongLong() * scale + fraction.toLongLong()) * value.perUnit;
    *onStep = scaled % scale == 0;
    const qint64 magnitude = qMin<qint64>(scaled / scale, 1'000'000'000);
    *units = int(match.captured(1).isEmpty() ? magnitude : -magnitude);
    return true;
}

} // namespace

bool TreeParameters::operator==(const TreeParameters &other) const
{
    for (const Value &value : values) {
        if (this->*value.field != other.*value.field)
            return false;
    }
    return true;
}

QString parameterLine(const TreeParameters &parameters)
{
    QStringList words {lineStart};
    for (const Value &value : values)
        words << QLatin1String(value.name) + '=' + written(value, parameters.*value.field);
    return words.join(' ');
}

QString findParameterLine(const QString &text)
{
    for (const QString &line : text.split('\n')) {
        if (wordsOf(line).value(0) == lineStart)
            return line.trimmed();
    }
    return QString();
}

bool readParameterLine(const QString &line, const TreeParameters &minimum,
                       const TreeParameters &maximum, TreeParameters *parameters, QString *error)
{
    QStringList words = wordsOf(line);
    if (words.isEmpty() || words.takeFirst() != lineStart) {
        *error = QStringLiteral("it holds no linetree parameters");
        return false;
    }
    TreeParameters read;
    std::array<bool, values.size()> given {};
    for (const QString &word : std::as_const(words)) {
        const QString name = word.section('=', 0, 0);
        const QString text = word.section('=', 1);
        const auto value = std::find_if(values.cbegin(), values.cend(),
                                        [&name](const Value &v) { return name == v.name; });
        if (value == values.cend() || !word.contains('=')) {
            *error = QStringLiteral("“%1” is none of angle, angle-scale, length, length-reduction "
                                    "and depth")
                             .arg(name);
            return false;
        }
        bool &isGiven = given[size_t(value - values.cbegin())];
        if (isGiven) {
            *error = QStringLiteral("%1 is given twice").arg(name);
            return false;
        }
        isGiven = true;
        int units = 0;
        bool onStep = false;
        if (!readUnits(*value, text, &units, &onStep)) {
            *error = QStringLiteral("%1=%2 is not a number").arg(name, text);
            return false;
        }
        const int lowest = minimum.*value->field;
        const int highest = maximum.*value->field;
        if (!onStep || units < lowest || units > highest) {
            *error = QStringLiteral("%1=%2 is not one of the slider's values, %3 to %4 in steps "
                                    "of %5")
                             .arg(name, text, written(*value, lowest), written(*value, highest),
                                  written(*value, 1));
            return false;
        }
        read.*value->field = units;
    }
    for (size_t i = 0; i < values.size(); ++i) {
        if (!given[i]) {
            *error = QStringLiteral("%1 is missing").arg(QLatin1String(values[i].name));
            return false;
        }
    }
    *parameters = read;
    return true;
}
