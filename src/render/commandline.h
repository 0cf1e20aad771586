// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#ifndef COMMANDLINE_H
#define COMMANDLINE_H

#include "plotterdrawing.h"

#include <QSize>
#include <QStringList>

class QCommandLineParser;

// What linetree-render is asked to do
struct RenderJob
{
    QStringList inputs;
    QString output; // with its number field, if any
    QSize size {600, 600};
    int frames = 0; // a turntable of so many pictures; 0 for one plain picture
    int random = 0; // so many random trees, for inputs
    bool seeded = false;
    quint32 seed = 0; // of the random trees, where seeded
    bool fit = false;
    bool plotter = false; // SVG outputs for a pen plotter, on `page`
    PlotterPage page;
    bool quiet = false;
};

// linetree-render's options, with their help
void addOptions(QCommandLineParser *parser);

// The job that a parsed command line asks for. False, with what is wrong in
// `error`, where it makes no sense: wrong usage.
bool readJob(const QCommandLineParser &parser, RenderJob *job, QString *error);

// The output's name with its number field filled in, as ffmpeg's image2
// reads them: %d, or %Nd and %0Nd padded with zeros to N digits; %% is a
// percent sign.
QString numbered(const QString &pattern, int number);

// A name as a message shows it: on one line, control characters escaped
QString shown(const QString &name);

// One line on standard error
void say(const QString &text);

#endif // COMMANDLINE_H
