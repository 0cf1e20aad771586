// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

// linetree-render: the viewer's pictures and models from the command line,
// drawn by the viewer's own view into the viewer's own writers.

#include "allocator.h"
#include "commandline.h"
#include "openglcheck.h"
#include "renderer.h"
#include "startupmessages.h"
#include "utf8locale.h"

#include <QApplication>
#include <QCommandLineParser>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

// Standard output for what was asked, such as the help; false where it
// cannot take it all, as a full disk
bool printed(const QString &text)
{
    std::fputs(qUtf8Printable(text), stdout);
    if (std::fflush(stdout) == 0 && !std::ferror(stdout))
        return true;
    say(QStringLiteral("cannot write to standard output: %1")
                .arg(QString::fromLocal8Bit(std::strerror(errno))));
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    useUtf8Locale();
    QCoreApplication::setApplicationName(QStringLiteral("linetree-render"));
    QCoreApplication::setApplicationVersion(QStringLiteral(LINETREE_VERSION));
    QCommandLineParser parser;
    addOptions(&parser);
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    if (!parser.parse(arguments)) {
        say(parser.errorText());
        return 2;
    }
    // Qt 6 lists --help-all beside --help; linetree-render has no other.
    if (parser.isSet(QStringLiteral("help"))
        || (parser.optionNames().contains(QStringLiteral("help-all")))) {
        // Qt writes the help only with an application object, which needs no
        // display.
        const QCoreApplication application(argc, argv);
        return printed(parser.helpText()) ? 0 : 1;
    }
    if (parser.isSet(QStringLiteral("version")))
        return printed(QStringLiteral("linetree-render " LINETREE_VERSION "\n")) ? 0 : 1;
    RenderJob job;
    QString wrong;
    if (!readJob(parser, &job, &wrong)) {
        say(wrong);
        return 2;
    }

    setUpAllocator();
    // The view's pixels are the picture's, whatever the environment says of
    // the screen's scale.
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    for (const char *scaling : {"QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS",
                                "QT_AUTO_SCREEN_SCALE_FACTOR", "QT_DEVICE_PIXEL_RATIO"})
        qunsetenv(scaling);
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
    // What the user asked Qt for, and no warning of Qt's own
    passHeldMessagesOn(false);
    return render(job);
}
