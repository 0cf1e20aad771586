// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#include "openglbaumzeiger.h"
#include "allocator.h"

OpenGLBaumZeiger::OpenGLBaumZeiger(QWidget *parent)
    : GLWidget(parent)
{
}

OpenGLBaumZeiger::~OpenGLBaumZeiger()
{
    // Never shown, the view may have no context, and then it holds no list.
    if (!isValid())
        return;
    makeCurrent();
    glDeleteLists(objektRef, 1);
}

void OpenGLBaumZeiger::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint position = positionOf(event);
    if (event->buttons() & Qt::LeftButton) {
        const int dx = position.x() - letzteMausPos.x();
        const int dy = position.y() - letzteMausPos.y();
        // A drag across the whole widget turns the tree once around.
        rotX = static_cast<float>(rotX + static_cast<float>(dy) * 360.0 / height());
        rotY = static_cast<float>(rotY + static_cast<float>(dx) * 360.0 / width());
    }
    letzteMausPos = position;
    updateGL();
}

void OpenGLBaumZeiger::initializeGL()
{
    glShadeModel(GL_FLAT);
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    erstelleBaum();
}

void OpenGLBaumZeiger::resizeGL(int width, int height)
{
    // The largest centred square, so the tree keeps its proportions; an odd
    // pixel falls to the right or top.
    const int side = qMin(width, height);
    glViewport((width - side) / 2, (height - side) / 2, side, side);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-1, 1, -1, 1, 1, 15);
    glMatrixMode(GL_MODELVIEW);
}

void OpenGLBaumZeiger::paintGL()
{
    keepViewport();
    glClear(GL_COLOR_BUFFER_BIT);
    glLoadIdentity();
    glTranslatef(0, 0, -zDist);
    glRotatef(rotX, 1, 0, 0);
    glRotatef(rotY, 0, 1, 0);
    glCallList(objektRef);
}

void OpenGLBaumZeiger::erstelleBaum()
{
    // Before the view is first shown it may have no context yet, and GL calls
    // would go to whichever context is current; initializeGL builds the list
    // once there is one.
    if (!isValid())
        return;
    makeCurrent();
    if (objektRef != 0)
        glDeleteLists(objektRef, 1);
    objektRef = glGenLists(1);
    glNewList(objektRef, GL_COMPILE);
    glColor3f(1, 1, 1);
    glPushMatrix();
    // The trunk runs from (0, -laenge) to the origin, so the tree turns about
    // its first fork.
    glTranslatef(0, -laenge, 0);
    erstelleBaumRek(laenge, winkel, 0);
    glPopMatrix();
    glEndList();
    giveBackFreedMemory();
}

// Emits the segment of length l along the local +Y axis and, below its tip,
// four children a quarter turn apart, each tilted by w degrees.
void OpenGLBaumZeiger::erstelleBaumRek(float l, float w, int t)
{
    if (t == rekTiefe)
        return;

    glBegin(GL_LINES);
    glVertex2f(0, 0);
    glVertex2f(0, l);
    glEnd();

    // Left in place for the children; the caller's matrix restore undoes it.
    glTranslatef(0, l, 0);
    glPushMatrix();
    for (int i = 0; i < 4; ++i) {
        glPushMatrix();
        glRotatef(w, 0, 0, 1);
        erstelleBaumRek(l * verkuerzung, w * winkelSkal, t + 1);
        glPopMatrix();
        glRotatef(90, 0, 1, 0);
    }
    glPopMatrix();
}
