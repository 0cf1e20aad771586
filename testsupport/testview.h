// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#ifndef TESTVIEW_H
#define TESTVIEW_H

#include "listcounter.h"
#include "openglcheck.h"
#include "treeview.h"

#include <QImage>
#include <QOpenGLContext>
#include <QVector3D>
#include <QVector>
#include <QWidget>

struct Segment
{
    QVector3D von;
    QVector3D bis;
};

// Opens the view's state to the tests and counts its paints.
class TestView : public TreeView
{
    Q_OBJECT

public:
    using TreeView::TreeView;

    using OpenGLBaumZeiger::letzteMausPos;
    using OpenGLBaumZeiger::objektRef;
    using OpenGLBaumZeiger::rekTiefe;
    using OpenGLBaumZeiger::rotX;
    using OpenGLBaumZeiger::rotY;

    void rebuild() { erstelleBaum(); }

    // Every line the display list draws, in the order drawn, in model units
    // after the view rotation.
    QVector<Segment> capture();
    // The lines as the view's own viewport and projection place them: x and
    // y in window pixels, z the depth from 0 (near) to 1 (far). The
    // projection's clipping cuts lines short or drops them.
    QVector<Segment> captureInWindow();
    // The frame paintGL draws, read back from the colour buffer.
    QImage frame();
    // The frame as each path the toolkit draws it by gives it: Qt 6's
    // grabFramebuffer(), grab() and render(), Qt 5's grabFrameBuffer().
    QVector<QImage> framesGrabbed();
    // The view's context, for contexts that share its display lists or not
    QOpenGLContext *glContext() const;

    int paints = 0;

    // Back to the view's starting parameters and rotation, unzoomed,
    // rebuilt and repainted
    void restart()
    {
        setViewState({start.rotY, start.rotX});
        rekTiefe = start.rekTiefe;
        winkel = start.winkel;
        laenge = start.laenge;
        verkuerzung = start.verkuerzung;
        winkelSkal = start.winkelSkal;
        letzteMausPos = start.letzteMausPos;
        erstelleBaum();
        updateGL();
    }

protected:
    void paintGL() override
    {
        ++paints;
        OpenGLBaumZeiger::paintGL();
    }

private:
    QVector<Segment> feedback();

    // What the view's constructor set
    struct State
    {
        float rotX;
        float rotY;
        int rekTiefe;
        float winkel;
        float laenge;
        float verkuerzung;
        float winkelSkal;
        QPoint letzteMausPos;
    };
    const State start {rotX,   rotY,        rekTiefe,   winkel,
                       laenge, verkuerzung, winkelSkal, letzteMausPos};
};

// A window that the view fills, as linetree's window holds it: the path by
// which the program draws.
class ViewWindow : public QWidget
{
public:
    explicit ViewWindow(const QSize &size = QSize(300, 300));

    // Shows the window and waits until it is on the screen.
    bool showExposed();

    TestView *const view;
};

// What the screen shows of a widget, read back from the display
QImage onScreen(const QWidget *widget);

// Reads and clears OpenGL's error flags in the current context.
bool glErrorRaised();

#endif // TESTVIEW_H
