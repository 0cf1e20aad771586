// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#include "commandline.h"
#include "fileformats.h"
#include "treeparameters.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <cstdio>

namespace {

// The name an output pattern gives `number`, and how many number fields it
// holds; false where a % stands for neither a percent sign nor a number field
bool fill(const QString &pattern, int number, QString *name, int *fields)
{
    name->clear();
    *fields = 0;
    for (int i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != QLatin1Char('%')) {
            *name += pattern[i];
            continue;
        }
        if (pattern.mid(i + 1, 1) == QLatin1String("%")) {
            *name += QLatin1Char('%');
            ++i;
            continue;
        }
        // %d, %Nd or %0Nd, N one digit
        int at = i + 1;
        if (pattern.mid(at, 1) == QLatin1String("0"))
            ++at;
        int width = 0;
        if (at < pattern.size() && pattern[at] >= QLatin1Char('1')
            && pattern[at] <= QLatin1Char('9'))
            width = pattern[at++].digitValue();
        if (pattern.mid(at, 1) != QLatin1String("d"))
            return false;
        *name += QString::number(number).rightJustified(width, QLatin1Char('0'));
        ++*fields;
        i = at;
    }
    return true;
}

// A count from 1 to 100000 of `things`, where `option` gives one; false,
// with what is wrong in `error`, where it gives none
bool readCount(const QCommandLineParser &parser, const QString &option, const QString &things,
               int *count, QString *error)
{
    if (!parser.isSet(option))
        return true;
    const QString given = parser.value(option);
    bool ok = false;
    *count = given.toInt(&ok);
    if (ok && *count >= 1 && *count <= 100'000)
        return true;
    *error = QStringLiteral("--%1 %2 is no number of %3 from 1 to 100000")
                     .arg(option, quoted(given), things);
    return false;
}

// The paper sizes by name, in millimetres, upright
struct Paper
{
    const char *name;
    QSizeF size;
};

const Paper papers[]
        = {{"A5", {148, 210}}, {"A4", {210, 297}}, {"A3", {297, 420}}, {"Letter", {215.9, 279.4}}};

// A plotter's page from the options; false, with what is wrong in `error`,
// where they make none
bool readPage(const QCommandLineParser &parser, PlotterPage *page, QString *error)
{
    if (parser.isSet(QStringLiteral("page"))) {
        const QString named = parser.value(QStringLiteral("page"));
        const auto paper = std::find_if(std::begin(papers), std::end(papers), [&](const Paper &p) {
            return named.compare(QLatin1String(p.name), Qt::CaseInsensitive) == 0;
        });
        static const QRegularExpression measured(
                "^(\\d{1,5}(?:\\.\\d{1,2})?)x(\\d{1,5}(?:\\.\\d{1,2})?)$");
        const QRegularExpressionMatch match = measured.match(named);
        if (paper != std::end(papers)) {
            page->paper = paper->size;
        } else if (match.hasMatch() && match.captured(1).toDouble() >= 10
                   && match.captured(2).toDouble() >= 10) {
            page->paper = QSizeF(match.captured(1).toDouble(), match.captured(2).toDouble());
        } else {
            *error = QStringLiteral("--page %1 is none of A5, A4, A3, Letter and a size in "
                                    "millimetres such as 300x200, each side at least 10")
                             .arg(quoted(named));
            return false;
        }
    }
    if (parser.isSet(QStringLiteral("landscape")) && page->paper.height() > page->paper.width())
        page->paper.transpose();
    page->layers = parser.isSet(QStringLiteral("layers"));
    if (parser.isSet(QStringLiteral("margin"))) {
        const QString margin = parser.value(QStringLiteral("margin"));
        bool ok = false;
        page->margin = margin.toDouble(&ok);
        const double room = qMin(page->paper.width(), page->paper.height()) / 2;
        if (!ok || !(page->margin >= 0 && page->margin < room)) {
            *error = QStringLiteral("--margin %1 is no margin in millimetres from 0 to under %2")
                             .arg(quoted(margin))
                             .arg(room);
            return false;
        }
    }
    return true;
}

} // namespace

void addOptions(QCommandLineParser *parser)
{
    parser->setApplicationDescription(QStringLiteral(
            "Renders the tree of each parameter line given, or held by a picture, model or text "
            "file, to a PNG, SVG or PDF picture or an OBJ or GLB model, as the viewer saves it."));
    parser->addHelpOption();
    parser->addVersionOption();
    parser->addOption(QCommandLineOption(
            {QStringLiteral("o"), QStringLiteral("output")},
            QStringLiteral("The file to write, in the format its suffix names; with several "
                           "outputs, with a number field such as %03d, and %% for a percent sign."),
            QStringLiteral("FILE")));
    parser->addOption(QCommandLineOption(QStringLiteral("size"),
                                         QStringLiteral("The view's size in pixels (600x600)."),
                                         QStringLiteral("WxH")));
    parser->addOption(QCommandLineOption(
            QStringLiteral("frames"),
            QStringLiteral("A turntable of N pictures, turning once about the trunk."),
            QStringLiteral("N")));
    parser->addOption(QCommandLineOption(
            QStringLiteral("fit"),
            QStringLiteral("Zoom and pan so that each tree, or turntable, fills the picture, as "
                           "Fit Tree does.")));
    parser->addOption(QCommandLineOption(
            QStringLiteral("plotter"),
            QStringLiteral("SVG drawings for a pen plotter: each segment drawn once, joined into "
                           "as few strokes as that allows, on a page in millimetres.")));
    parser->addOption(QCommandLineOption(
            QStringLiteral("page"),
            QStringLiteral("The plotter's paper: A5, A4, A3, Letter, or WxH in millimetres (A4)."),
            QStringLiteral("PAPER")));
    parser->addOption(QCommandLineOption(QStringLiteral("landscape"),
                                         QStringLiteral("The plotter's paper on its side.")));
    parser->addOption(QCommandLineOption(
            QStringLiteral("margin"),
            QStringLiteral("The plotter's margin on each side, in millimetres (10)."),
            QStringLiteral("MM")));
    parser->addOption(QCommandLineOption(
            QStringLiteral("layers"),
            QStringLiteral("A layer for each level of the tree, for a pen of its own.")));
    parser->addOption(QCommandLineOption(
            QStringLiteral("random"),
            QStringLiteral("N random trees, each standing whole in the view, for inputs."),
            QStringLiteral("N")));
    parser->addOption(QCommandLineOption(
            QStringLiteral("seed"),
            QStringLiteral("The random trees' seed, 0 to 4294967295: one seed gives the same "
                           "trees on every machine. Without it one is chosen, and told."),
            QStringLiteral("S")));
    parser->addOption(QCommandLineOption({QStringLiteral("q"), QStringLiteral("quiet")},
                                         QStringLiteral("No progress line, and no seed told.")));
    parser->addPositionalArgument(QStringLiteral("INPUT"),
                                  QStringLiteral("A parameter line (\"linetree angle=...\"), a "
                                                 "file that holds one, or - for standard input; "
                                                 "none with --random."),
                                  QStringLiteral("[INPUT...]"));
}

bool readJob(const QCommandLineParser &parser, RenderJob *job, QString *error)
{
    job->inputs = parser.positionalArguments();
    job->output = parser.value(QStringLiteral("output"));
    job->fit = parser.isSet(QStringLiteral("fit"));
    job->quiet = parser.isSet(QStringLiteral("quiet"));
    const QString format = QFileInfo(job->output).suffix().toLower();
    if (!readCount(parser, QStringLiteral("random"), QStringLiteral("trees"), &job->random, error))
        return false;
    if (job->random > 0 && !job->inputs.isEmpty()) {
        *error = QStringLiteral("--random makes the trees itself, and takes no input");
        return false;
    }
    if (parser.isSet(QStringLiteral("seed"))) {
        const QString seed = parser.value(QStringLiteral("seed"));
        bool ok = false;
        job->seed = seed.toUInt(&ok);
        job->seeded = true;
        if (!ok) {
            *error = QStringLiteral("--seed %1 is no seed from 0 to 4294967295").arg(quoted(seed));
            return false;
        }
    }
    if (job->inputs.isEmpty() && job->random == 0) {
        *error = QStringLiteral("no input given: a parameter line, a file, or - for standard "
                                "input");
        return false;
    }
    if (job->output.isEmpty()) {
        *error = QStringLiteral("no output given: -o FILE");
        return false;
    }
    if (!savedSuffixes().contains(format)) {
        *error = QStringLiteral("%1 ends in none of .%2")
                         .arg(shown(job->output), savedSuffixes().join(QLatin1String(", .")));
        return false;
    }
    job->plotter = parser.isSet(QStringLiteral("plotter"));
    if (job->plotter && format != QLatin1String("svg")) {
        *error = QStringLiteral("--plotter draws an SVG, and %1 ends in none of .svg")
                         .arg(shown(job->output));
        return false;
    }
    for (const char *option : {"page", "landscape", "margin", "layers"}) {
        if (!job->plotter && parser.isSet(QLatin1String(option))) {
            *error = QStringLiteral("--%1 shapes a plotter's page, and goes with --plotter")
                             .arg(QLatin1String(option));
            return false;
        }
    }
    if (!readPage(parser, &job->page, error))
        return false;
    if (parser.isSet(QStringLiteral("size"))) {
        static const QRegularExpression pixels("^([1-9]\\d{0,5})x([1-9]\\d{0,5})$");
        const QString size = parser.value(QStringLiteral("size"));
        const QRegularExpressionMatch match = pixels.match(size);
        if (!match.hasMatch()) {
            *error = QStringLiteral("--size %1 is no size such as 600x600").arg(quoted(size));
            return false;
        }
        job->size = QSize(match.captured(1).toInt(), match.captured(2).toInt());
    }
    if (!readCount(parser, QStringLiteral("frames"), QStringLiteral("frames"), &job->frames, error))
        return false;
    // A model stands in the tree's own frame, however the view turns.
    if (job->frames > 0 && (format == QLatin1String("obj") || format == QLatin1String("glb"))) {
        *error = QStringLiteral("--frames turns the picture, and %1 names a model, which does "
                                "not turn")
                         .arg(shown(job->output));
        return false;
    }
    QString name;
    int fields = 0;
    if (!fill(job->output, 0, &name, &fields) || fields > 1) {
        *error = QStringLiteral("%1 holds a % that is neither %% nor one number field such as "
                                "%03d")
                         .arg(shown(job->output));
        return false;
    }
    if (fields == 0 && (job->inputs.size() > 1 || job->random > 1 || job->frames > 0)) {
        *error = QStringLiteral("%1 names one file for several outputs: give it a number field "
                                "such as %03d")
                         .arg(shown(job->output));
        return false;
    }
    return true;
}

QString numbered(const QString &pattern, int number)
{
    QString name;
    int fields = 0;
    fill(pattern, number, &name, &fields);
    return name;
}

QString shown(const QString &name)
{
    QString text;
    for (const QChar c : name) {
        if (c == QLatin1Char('\\'))
            text += QLatin1String("\\\\");
        else if (c == QLatin1Char('\n'))
            text += QLatin1String("\\n");
        else if (c == QLatin1Char('\t'))
            text += QLatin1String("\\t");
        else if (c.category() == QChar::Other_Control || c.category() == QChar::Other_Format)
            text += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
        else
            text += c;
    }
    return text;
}

void say(const QString &text)
{
    std::fprintf(stderr, "linetree-render: %s\n", qUtf8Printable(text));
}
