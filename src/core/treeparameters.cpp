// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#include "treeparameters.h"

#include <QRegularExpression>
#include <QStringList>

#include <algorithm>
#include <array>
#include <charconv>

namespace {

// How each parameter is written: its name, and how many slider units make
// one unit written (half degrees a degree, hundredths a factor, levels a
// level)
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

// And each angle of the view's rotation, in degrees
struct Angle
{
    const char *name;
    float ViewState::*field;
};

const std::array<Angle, 2> angles {{
        {"turn", &ViewState::turn},
        {"tilt", &ViewState::tilt},
}};

// And its zoom and pan, each with its range
struct Framing
{
    const char *name;
    double ViewState::*field;
    const char *what;
    double lowest;
    double highest;
};

const std::array<Framing, 3> framings {{
        {"zoom", &ViewState::zoom, "zoom", lowestZoom, highestZoom},
        {"pan-x", &ViewState::panX, "pan", -widestPan, widestPan},
        {"pan-y", &ViewState::panY, "pan", -widestPan, widestPan},
}};

const QLatin1String lineStart("linetree");

// Split at any space, as Unicode has them
QStringList wordsOf(const QString &line)
{
    QStringList words;
    QString word;
    for (const QChar c : line) {
        if (!c.isSpace()) {
            word += c;
        } else if (!word.isEmpty()) {
            words << word;
            word.clear();
        }
    }
    if (!word.isEmpty())
        words << word;
    return words;
}

QString written(const Value &value, int units)
{
    return QString::number(double(units) / value.perUnit, 'f', value.decimals);
}

// The shortest decimal that reads back as the very same number; a zero
// without its sign
template<typename Number> QString written(Number number)
{
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, number == 0 ? 0 : number);
    return QString::fromLatin1(text, int(result.ptr - text));
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

// An angle beyond a float's range, 0.digits × 10^point, as the same angle
// less whole turns: the integer part modulo 360, digit by digit, where every
// power of ten from 1000 on is 280 modulo 360, and the fraction
float lessWholeTurns(const QString &digits, qint64 point)
{
    const qint64 whole = qMin<qint64>(point, digits.size());
    int turn = 0;
    for (qint64 i = 0; i < whole; ++i)
        turn = (turn * 10 + digits[int(i)].digitValue()) % 360;
    const qint64 zeros = point - whole;
    turn = turn * (zeros >= 3 ? 280 : zeros == 2 ? 100 : zeros == 1 ? 10 : 1) % 360;
    const QByteArray fraction = "0." + digits.mid(int(whole), 17).toLatin1() + '0';
    double rest = 0;
    std::from_chars(fraction.constData(), fraction.constData() + fraction.size(), rest);
    return float(turn + rest);
}

// Not-a-number and the infinities, as people write them
bool isInfinite(const QString &text)
{
    static const QRegularExpression infinite("^[-+]?(?:nan|inf|infinity)$",
                                             QRegularExpression::CaseInsensitiveOption);
    return infinite.match(text).hasMatch();
}

// The degrees that a decimal number stands for, as the view holds them: the
// float nearest to it, or beyond a float's range the same angle less whole
// turns. False where it is not a number; `finite` false for not-a-number and
// the infinities.
bool readDegrees(const QString &text, float *degrees, bool *finite)
{
    static const QRegularExpression decimal("^([-+]?)(\\d*)(?:\\.(\\d*))?(?:[eE]([-+]?)(\\d+))?$");
    *finite = !isInfinite(text);
    if (!*finite)
        return true;
    const QRegularExpressionMatch match = decimal.match(text);
    if (!match.hasMatch() || match.capturedLength(2) + match.capturedLength(3) == 0)
        return false;

    const QByteArray number = text.mid(match.capturedLength(1)).toLatin1();
    const bool negative = match.captured(1) == QLatin1String("-");
    const auto [end, fault]
            = std::from_chars(number.constData(), number.constData() + number.size(), *degrees);
    if (fault == std::errc()) {
        *degrees = negative ? -*degrees : *degrees;
        return true;
    }
    // Out of range: where the decimal point stands before the first digit
    // that is not 0, with a huge exponent taken as one of 10^18
    QString digits = match.captured(2) + match.captured(3);
    const QString exponent = match.captured(5);
    qint64 point = match.capturedLength(2)
            + (match.captured(4) == QLatin1String("-") ? -1 : 1)
                    * (exponent.size() > 18 ? qint64(1e18) : exponent.toLongLong());
    const int zeros = int(std::find_if(digits.cbegin(), digits.cend(),
                                       [](QChar c) { return c != QLatin1Char('0'); })
                          - digits.cbegin());
    digits.remove(0, zeros);
    point -= zeros;
    if (point > 0) {
        *degrees = lessWholeTurns(digits, point);
    } else {
        // Too small for a float but for its subnormal numbers, or for those too
        double small = 0;
        std::from_chars(number.constData(), number.constData() + number.size(), small);
        *degrees = float(small);
    }
    *degrees = negative ? -*degrees : *degrees;
    return true;
}

// The double nearest to a decimal number; false where it is not a number.
// `inRange` false for not-a-number, the infinities, and numbers beyond a
// double's range or outside `lowest` to `highest`.
bool readNumber(const QString &text, double lowest, double highest, double *number, bool *inRange)
{
    static const QRegularExpression decimal("^[-+]?(\\d*)(?:\\.(\\d*))?(?:[eE][-+]?\\d+)?$");
    const QRegularExpressionMatch match = decimal.match(text);
    *inRange = false;
    if (isInfinite(text))
        return true;
    if (!match.hasMatch() || match.capturedLength(1) + match.capturedLength(2) == 0)
        return false;
    const QByteArray digits = text.mid(text.startsWith('+') ? 1 : 0).toLatin1();
    double read = 0;
    const auto [end, fault]
            = std::from_chars(digits.constData(), digits.constData() + digits.size(), read);
    *inRange = fault == std::errc() && read >= lowest && read <= highest;
    if (*inRange)
        *number = read;
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

bool ViewState::operator==(const ViewState &other) const
{
    return turn == other.turn && tilt == other.tilt && zoom == other.zoom && panX == other.panX
            && panY == other.panY;
}

bool TreeState::operator==(const TreeState &other) const
{
    return parameters == other.parameters && view == other.view;
}

QString parameterLine(const TreeState &tree)
{
    QStringList words {lineStart};
    for (const Value &value : values)
        words << QLatin1String(value.name) + '=' + written(value, tree.parameters.*value.field);
    for (const Angle &angle : angles)
        words << QLatin1String(angle.name) + '=' + written(tree.view.*angle.field);
    for (const Framing &framing : framings)
        words << QLatin1String(framing.name) + '=' + written(tree.view.*framing.field);
    return words.join(' ');
}

QString findParameterLine(const QString &text)
{
    for (const QString &line : text.split(QRegularExpression("[\\r\\n]"))) {
        if (wordsOf(line).value(0) == lineStart)
            return line.trimmed();
    }
    return QString();
}

QString quoted(const QString &text)
{
    const int readable = 32;
    QString shown = text;
    if (shown.size() > readable) {
        // Never half of a character that takes two
        shown.truncate(shown.at(readable - 2).isHighSurrogate() ? readable - 2 : readable - 1);
        shown += QChar(0x2026);
    }
    for (QChar &c : shown) {
        if (!c.isPrint() && !c.isSurrogate())
            c = QChar::ReplacementCharacter;
    }
    return shown;
}

bool readParameterLine(const QString &line, const TreeParameters &minimum,
                       const TreeParameters &maximum, TreeState *tree, QString *error)
{
    QStringList words = wordsOf(line);
    if (words.isEmpty() || words.takeFirst() != lineStart) {
        *error = QStringLiteral("it holds no linetree parameters");
        return false;
    }
    TreeState read {TreeParameters(), tree->view};
    bool givesView = false;
    QStringList given;
    for (const QString &word : std::as_const(words)) {
        const QString name = word.section('=', 0, 0);
        const QString text = word.section('=', 1);
        const auto value = std::find_if(values.cbegin(), values.cend(),
                                        [&name](const Value &v) { return name == v.name; });
        const auto angle = std::find_if(angles.cbegin(), angles.cend(),
                                        [&name](const Angle &a) { return name == a.name; });
        const auto framing = std::find_if(framings.cbegin(), framings.cend(),
                                          [&name](const Framing &f) { return name == f.name; });
        if ((value == values.cend() && angle == angles.cend() && framing == framings.cend())
            || !word.contains('=')) {
            *error = QStringLiteral("“%1” is none of angle, angle-scale, length, length-reduction, "
                                    "depth, turn, tilt, zoom, pan-x and pan-y")
                             .arg(quoted(name));
            return false;
        }
        if (given.contains(name)) {
            *error = QStringLiteral("%1 is given twice").arg(name);
            return false;
        }
        given << name;
        givesView = givesView || value == values.cend();
        if (angle != angles.cend()) {
            bool finite = true;
            if (!readDegrees(text, &(read.view.*angle->field), &finite)) {
                *error = QStringLiteral("%1=%2 is not a number").arg(name, quoted(text));
                return false;
            }
            if (!finite) {
                *error = QStringLiteral("%1=%2 is not a finite number of degrees")
                                 .arg(name, quoted(text));
                return false;
            }
            continue;
        }
        if (framing != framings.cend()) {
            bool inRange = false;
            if (!readNumber(text, framing->lowest, framing->highest, &(read.view.*framing->field),
                            &inRange)) {
                *error = QStringLiteral("%1=%2 is not a number").arg(name, quoted(text));
                return false;
            }
            if (!inRange) {
                *error = QStringLiteral("%1=%2 is not a %3 from %4 to %5")
                                 .arg(name, quoted(text), QLatin1String(framing->what),
                                      written(framing->lowest), written(framing->highest));
                return false;
            }
            continue;
        }
        int units = 0;
        bool onStep = false;
        if (!readUnits(*value, text, &units, &onStep)) {
            *error = QStringLiteral("%1=%2 is not a number").arg(name, quoted(text));
            return false;
        }
        const int lowest = minimum.*value->field;
        const int highest = maximum.*value->field;
        if (!onStep || units < lowest || units > highest) {
            *error = QStringLiteral("%1=%2 is not one of the slider's values, %3 to %4 in steps "
                                    "of %5")
                             .arg(name, quoted(text), written(*value, lowest),
                                  written(*value, highest), written(*value, 1));
            return false;
        }
        read.parameters.*value->field = units;
    }
    for (const Value &value : values) {
        if (!given.contains(QLatin1String(value.name))) {
            *error = QStringLiteral("%1 is missing").arg(QLatin1String(value.name));
            return false;
        }
    }
    // A line that shows the view but not its zoom, as linetree 1.2 wrote it,
    // shows it unzoomed.
    for (const Framing &framing : framings) {
        if (givesView && !given.contains(QLatin1String(framing.name)))
            read.view.*framing.field = ViewState().*framing.field;
    }
    *tree = read;
    return true;
}
