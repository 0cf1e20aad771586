// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#include "renderer.h"
#include "commandline.h"
#include "parameterfile.h"
#include "qtbridge.h"
#include "randomtrees.h"
#include "savefile.h"
#include "treeview.h"

#include <QFile>
#include <QFileInfo>
#include <QRectF>
#include <QVector>

#include <cmath>
#include <cstdio>
#include <unistd.h>

namespace {

// An input's tree, or why there is none
struct Input
{
    QString name; // as messages name it
    TreeState tree;
    QString error;
};

// Whether an input is a parameter line itself: a file of any name is a file.
bool isLine(const QString &input)
{
    return input.startsWith(QLatin1String("linetree ")) && !QFileInfo::exists(input);
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

// Every input's tree, read before anything is written, so that an output
// that names an input cannot lose it, or the random trees asked for; those
// without a rotation get the viewer's start rotation.
QVector<Input> readInputs(const RenderJob &job)
{
    const ViewState start = TreeView().viewState();
    QVector<Input> read;
    if (job.random > 0) {
        const quint32 seed = job.seeded ? job.seed : freshSeed();
        if (!job.seeded && !job.quiet)
            say(QStringLiteral("random trees of seed %1").arg(seed));
        RandomTrees dice(seed);
        for (int i = 0; i < job.random; ++i)
            read.append({QStringLiteral("random tree %1").arg(i + 1), {dice.tree(), start}, {}});
        return read;
    }
    const QStringList &inputs = job.inputs;
    for (int i = 0; i < inputs.size(); ++i) {
        // A line is shown shortened, as the viewer shows what it quotes.
        Input input {QStringLiteral("input %1 (%2)")
                             .arg(i + 1)
                             .arg(isLine(inputs[i]) ? quoted(inputs[i]) : shown(inputs[i])),
                     {TreeParameters(), start},
                     QString()};
        QString line;
        if (inputLine(inputs[i], &line, &input.error))
            readParameterLine(line, lowestParameters, highestParameters, &input.tree, &input.error);
        read.append(input);
    }
    return read;
}

// Frame k of `frames` turned by k/N of a turn about the trunk, computed
// without loss, from the line's turn less whole turns; frame 0 is the
// line's own.
TreeState frame(const TreeState &tree, int k, int frames)
{
    TreeState turned = tree;
    if (k > 0)
        turned.view.turn = float(std::fmod(double(tree.view.turn), 360.0) + 360.0 * k / frames);
    return turned;
}

// Zooms and pans `view` so that every frame shows the tree whole, as Fit
// Tree does: a turntable keeps one zoom, fitted to all its frames.
void fitAll(TreeView *view, TreeState *tree, int frames)
{
    QRectF all;
    for (int k = 0; k < frames; ++k) {
        view->setViewState(frame(*tree, k, frames).view);
        all = k == 0 ? view->treeBounds() : all.united(view->treeBounds());
    }
    view->fitTo(all);
    const ViewState fitted = view->viewState();
    tree->view.zoom = fitted.zoom;
    tree->view.panX = fitted.panX;
    tree->view.panY = fitted.panY;
}

// Standard error as a run uses it: each failure one line, the same failure
// of one input's outputs one after the other said once, and where asked a
// count of the outputs done, which stands last.
class Report
{
public:
    Report(int outputs, int perInput, bool counting)
        : outputs(outputs)
        , perInput(perInput)
        , counting(counting)
    {
    }
    ~Report() { endCount(); }

    bool failed() const { return anyFailed; }

    void inputFailed(const Input &input)
    {
        say(input.name + QStringLiteral(": ") + input.error);
        done += perInput;
    }
    void outputDone(const QString &fileName, const QString &error)
    {
        ++done;
        if (!error.isEmpty()) {
            if (!failures.isEmpty() && error != lastError)
                sayFailures();
            failures << fileName;
            lastError = error;
        } else {
            sayFailures();
        }
        if (counting)
            std::fprintf(stderr, "\rlinetree-render: %d/%d", done, outputs);
        counted = counting;
    }
    void inputDone() { sayFailures(); }
    // What a person may want to know of an output
    void tell(const QString &fileName, const QString &note)
    {
        endCount();
        ::say(shown(fileName) + QStringLiteral(": ") + note);
    }

private:
    void say(const QString &text)
    {
        endCount();
        ::say(text);
        anyFailed = true;
    }
    void sayFailures()
    {
        if (failures.isEmpty())
            return;
        const QString first = shown(failures.first());
        say(failures.size() == 1 ? first + QStringLiteral(": ") + lastError
                                 : QStringLiteral("%1 to %2, %3 outputs: %4")
                                           .arg(first, shown(failures.last()))
                                           .arg(failures.size())
                                           .arg(lastError));
        failures.clear();
    }
    void endCount()
    {
        if (counted)
            std::fputc('\n', stderr);
        counted = false;
    }

    const int outputs;
    const int perInput;
    const bool counting;
    int done = 0;
    bool counted = false; // the count stands last on standard error
    bool anyFailed = false;
    QStringList failures; // one after the other, of one input, for the same reason
    QString lastError;
};

} // namespace

int render(const RenderJob &job)
{
    const int perInput = qMax(job.frames, 1);
    const QVector<Input> inputs = readInputs(job);
    const int outputs = inputs.size() * perInput;
    Report report(outputs, perInput, outputs > 1 && !job.quiet && isatty(STDERR_FILENO));
    for (int i = 0; i < inputs.size(); ++i) {
        Input input = inputs[i];
        if (!input.error.isEmpty()) {
            report.inputFailed(input);
            continue;
        }
        // A view of its own for each input, which builds its list once it
        // is first drawn, with all five values in place
        TreeView view;
        view.setParameters(input.tree.parameters);
        view.resize(job.size);
        showUnseen(&view);
        if (job.fit)
            fitAll(&view, &input.tree, perInput);
        for (int k = 0; k < perInput; ++k) {
            const TreeState turned = frame(input.tree, k, perInput);
            view.setViewState(turned.view);
            const QString fileName = numbered(job.output, i * perInput + k);
            QString note;
            QString error;
            saveTree({&view, parameterLine(turned), job.page}, fileName,
                     job.plotter ? formatNamed(QStringLiteral("plotter")) : nullptr, &note, &error);
            report.outputDone(fileName, error);
            if (!note.isEmpty() && !job.quiet)
                report.tell(fileName, note);
        }
        report.inputDone();
    }
    return report.failed() ? 1 : 0;
}
