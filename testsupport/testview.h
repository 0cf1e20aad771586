#ifndef TESTVIEW_H
#define TESTVIEW_H

#include "listcounter.h"
#include "openglbaumzeiger.h"

#include <QImage>
#include <QVector3D>
#include <QVector>

struct Segment
{
    QVector3D von;
    QVector3D bis;
};

// Opens the view's state to the tests and counts its paints.
class TestView : public OpenGLBaumZeiger
{
    Q_OBJECT

public:
    using OpenGLBaumZeiger::OpenGLBaumZeiger;

    using OpenGLBaumZeiger::letzteMausPos;
    using OpenGLBaumZeiger::objektRef;
    using OpenGLBaumZeiger::rekTiefe;
    using OpenGLBaumZeiger::rotX;
    using OpenGLBaumZeiger::rotY;

    void rebuild() { erstelleBaum(); }

    // Every line the display list draws, in the order drawn, in model units
    // after the view rotation.
    QVector<Segment> capture();
    // The frame paintGL draws, read back from the colour buffer.
    QImage frame();

    int paints = 0;

protected:
    void paintGL() override
    {
        ++paints;
        OpenGLBaumZeiger::paintGL();
    }
};

// Reads and clears OpenGL's error flags in the current context.
bool glErrorRaised();

#endif // TESTVIEW_H
