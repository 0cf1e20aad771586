// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

// linetree-render: the viewer's pictures and models from the command line,
// drawn by the viewer's own view into the viewer's own writers.

#include "allocator.h"
#include "openglcheck.h"
#include "parameterfile.h"
#include "qtbridge.h"
#include "savefile.h"
#include "startupmessages.h"
#include "treeparameters.h"
#include "treeview.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <cstdio>
#include <functional>
#include <unistd.h>

namespace {

// A printf-style number field of one to nine digits, as ffmpeg's image2 reads
// them: %d, %3d, %03d
const QRegularExpression numberField("%(0?)([1-9]?)d");

struct Job
{
    QStringList inputs;
    QString output; // with its number field, if any
    QSize size {600, 600};
    int frames = 0; // a turntable of so many pictures; 0 for one plain picture
    bool fit = false;
    bool progress = false;
};

void say(const QString &text)
{
    std::fprintf(stderr, "linetree-render: %s\n", qUtf8Printable(text));
}

// The output's name with its number field filled in
QString numbered(const QString &pattern, int number)
{
    const QRegularExpressionMatch field = numberField.match(pattern);
    if (!field.hasMatch())
        return pattern;
    const QChar pad = field.captured(1).isEmpty() ? QLatin1Char(' ') : QLatin1Char('0');
    return pattern.left(field.capturedStart())
            + QString::number(number).rightJustified(field.captured(2).toInt(), pad)
            + pattern.mid(field.capturedEnd());
}

// What is wrong with the command line, or nothing
QString readJob(const QCommandLineParser &parser, const QCommandLineOption &output,
                const QCommandLineOption &size, const QCommandLineOption &frames, Job *job)
{
    job->inputs = parser.positionalArguments();
    job->output = parser.value(output);
    if (job->inputs.isEmpty())
        return QStringLiteral("no input given: a parameter line, a file, or - for standard input");
    if (job->output.isEmpty())
        return QStringLiteral("no output given: -o FILE");
    if (!savedFormats().contains(QFileInfo(job->output).suffix().toLower())) {
        return QStringLiteral("%1 ends in none of .%2")
                .arg(job->output, savedFormats().join(QLatin1String(", .")));
    }
    if (parser.isSet(size)) {
        static const QRegularExpression pixels("^([1-9]\\d{0,5})x([1-9]\\d{0,5})$");
        const QRegularExpressionMatch match = pixels.match(parser.value(size));
        if (!match.hasMatch())
            return QStringLiteral("--size %1 is no size such as 600x600")
                    .arg(quoted(parser.value(size)));
        job->size = QSize(match.captured(1).toInt(), match.captured(2).toInt());
    }
    if (parser.isSet(frames)) {
        bool ok = false;
        job->frames = parser.value(frames).toInt(&ok);
        if (!ok || job->frames < 1 || job->frames > 100'000)
            return QStringLiteral("--frames %1 is no number of frames from 1 to 100000")
                    .arg(quoted(parser.value(frames)));
    }
    const int fields = int(job->output.count(numberField));
    QString rest = job->output;
    rest.remove(numberField);
    if (fields > 1 || rest.contains(QLatin1Char('%')))
        return QStringLiteral("%1 holds a %% that is not one number field such as %03d")
                .arg(job->output);
    if (fields == 0 && (job->inputs.size() > 1 || job->frames > 0))
        return QStringLiteral("%1 names one file for several outputs: give it a number field "
                              "such as %03d")
                .arg(job->output);
    return QString();
}

// Whether an input is a parameter line itself
bool isLine(const QString &input)
{
    return input.startsWith(QLatin1String("linetree "));
}

// The parameter line an input gives: the argument itself, a file, or what
// standard input starts with
bool inputLine(const QString &input, QString *line, QString *error)
{
    if (isLine(input)) {
        *line = input;
        return true;
    }
    if (input != QLatin1String("-"))
        return readParameterText(input, line, error);
    // A pipe hands over what it holds so far.
    QFile standardInput;
    standardInput.open(stdin, QIODevice::ReadOnly);
    QByteArray head;
    while (head.size() < parameterHeadSize) {
        const QByteArray more = standardInput.read(parameterHeadSize - head.size());
        if (more.isEmpty())
            break;
        head += more;
    }
    const bool whole = standardInput.read(1).isEmpty();
    return readParameterHead(head, whole, -1, line, error);
}

// Zooms and pans `view` so that every one of `frames` frames shows the
// tree whole, as Fit Tree does: a turntable at one zoom, fitted to all its
// frames
void fitAll(TreeView *view, int frames, const std::function<TreeState(int)> &frame,
            ViewState *fitted)
{
    QRectF all;
    for (int k = 0; k < frames; ++k) {
        view->setViewState(frame(k).view);
        all = k == 0 ? view->treeBounds() : all.united(view->treeBounds());
    }
    view->fitTo(all);
    fitted->zoom = view->viewState().zoom;
    fitted->panX = view->viewState().panX;
    fitted->panY = view->viewState().panY;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication::setApplicationName(QStringLiteral("linetree-render"));
    QCoreApplication::setApplicationVersion(QStringLiteral(LINETREE_VERSION));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
            "Renders the tree of each parameter line given, or held by a picture, model or text "
            "file, to a PNG, SVG or PDF picture or an OBJ or GLB model, as the viewer saves it."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption output({QStringLiteral("o"), QStringLiteral("output")},
                                    QStringLiteral("The file to write, in the format its suffix "
                                                   "names; with several outputs, with a number "
                                                   "field such as %03d."),
                                    QStringLiteral("FILE"));
    const QCommandLineOption size(QStringLiteral("size"),
                                  QStringLiteral("The view's size in pixels (600x600)."),
                                  QStringLiteral("WxH"));
    const QCommandLineOption frames(QStringLiteral("frames"),
                                    QStringLiteral("A turntable of N pictures, turning once "
                                                   "about the trunk."),
                                    QStringLiteral("N"));
    const QCommandLineOption fit(QStringLiteral("fit"),
                                 QStringLiteral("Zoom and pan so that each tree, or turntable, "
                                                "fills the picture, as Fit Tree does."));
    const QCommandLineOption quiet({QStringLiteral("q"), QStringLiteral("quiet")},
                                   QStringLiteral("No progress line."));
    parser.addOptions({output, size, frames, fit, quiet});
    parser.addPositionalArgument(QStringLiteral("INPUT"),
                                 QStringLiteral("A parameter line (\"linetree angle=...\"), a "
                                                "file that holds one, or - for standard input."),
                                 QStringLiteral("INPUT..."));

    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    Job job;
    if (!parser.parse(arguments)) {
        say(parser.errorText());
        return 2;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        // Qt names the program only once an application object exists, and
        // that needs a display.
        std::fputs(qUtf8Printable(parser.helpText().replace(QLatin1String("<executable_name>"),
                                                            QLatin1String("linetree-render"))),
                   stdout);
        return 0;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        std::printf("linetree-render %s\n", LINETREE_VERSION);
        return 0;
    }
    const QString wrong = readJob(parser, output, size, frames, &job);
    if (!wrong.isEmpty()) {
        say(wrong);
        return 2;
    }
    job.fit = parser.isSet(fit);
    const int outputs = job.inputs.size() * qMax(job.frames, 1);
    job.progress = outputs > 1 && !parser.isSet(quiet) && isatty(STDERR_FILENO);

    setUpAllocator();
    // The view's pixels are the picture's, whatever the screen's scale.
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    holdMessages("linetree-render",
                 "on a server without a display, run it under xvfb-run, from Debian's package "
                 "xvfb");
    QApplication application(argc, argv);
    QSize largest;
    const QString problem = openGLProblem(&largest);
    if (!problem.isEmpty())
        failToStart(problem);
    if (job.size.width() > largest.width() || job.size.height() > largest.height()) {
        say(QStringLiteral("--size %1x%2 is larger than this renderer's largest framebuffer, %3x%4")
                    .arg(job.size.width())
                    .arg(job.size.height())
                    .arg(largest.width())
                    .arg(largest.height()));
        return 2;
    }
    passHeldMessagesOn();

    const int perInput = qMax(job.frames, 1);
    int status = 0;
    int done = 0;
    bool counted = false; // the progress line stands last on standard error
    const auto tell = [&] {
        if (job.progress)
            std::fprintf(stderr, "\rlinetree-render: %d/%d", done, outputs);
        counted = job.progress;
    };
    const auto fail = [&](const QString &what) {
        if (counted)
            std::fputc('\n', stderr);
        say(what);
        status = 1;
        counted = false;
    };
    for (int i = 0; i < job.inputs.size(); ++i) {
        const QString &input = job.inputs[i];
        const int first = i * perInput;
        QString line;
        QString error;
        // A view of its own for each input, which builds its list once it
        // is first drawn, with all five values in place
        TreeView view;
        TreeState tree {TreeParameters(), view.viewState()};
        if (!inputLine(input, &line, &error)
            || !readParameterLine(line, lowestParameters, highestParameters, &tree, &error)) {
            // A line is shown shortened, as the viewer shows what it quotes.
            fail(QStringLiteral("%1: %2").arg(isLine(input) ? quoted(input) : input, error));
            done += perInput;
            continue;
        }
        view.setParameters(tree.parameters);
        view.resize(job.size);
        showUnseen(&view);
        // Frame k turned by k/N of a turn about the trunk, each picture with
        // its own line
        const auto frame = [&tree, perInput](int k) {
            TreeState turned = tree;
            turned.view.turn = float(double(tree.view.turn) + 360.0 * k / perInput);
            return turned;
        };
        if (job.fit)
            fitAll(&view, perInput, frame, &tree.view);
        for (int k = 0; k < perInput; ++k) {
            const TreeState turned = frame(k);
            view.setViewState(turned.view);
            const QString fileName = numbered(job.output, first + k);
            if (!saveTree(&view, fileName, parameterLine(turned), &error))
                fail(QStringLiteral("%1: %2").arg(fileName, error));
            ++done;
            tell();
        }
    }
    if (counted)
        std::fputc('\n', stderr);
    return status;
}
