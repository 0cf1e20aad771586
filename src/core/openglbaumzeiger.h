// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#ifndef OPENGLBAUMZEIGER_H
#define OPENGLBAUMZEIGER_H

#include "qtbridge.h"

#include <QPoint>
#include <QSize>

#include <climits>

// Draws a recursively branching line tree from one display list and turns it
// while the user drags with the left mouse button.
class OpenGLBaumZeiger : public GLWidget
{
    Q_OBJECT

public:
    explicit OpenGLBaumZeiger(QWidget *parent = nullptr);
    ~OpenGLBaumZeiger() override;

    QSize minimumSizeHint() const override { return QSize(200, 200); }

    // The parameters in slider units: half degrees, hundredths, levels.
    int gebeRekTiefe() const { return rekTiefe; }
    int gebeWinkel() const { return inSchieberEinheiten(winkel, 2); }
    int gebeWinkelSkal() const { return inSchieberEinheiten(winkelSkal, 100.0); }
    int gebeLaenge() const { return inSchieberEinheiten(laenge, 100.0); }
    int gebeVerkuerzung() const { return inSchieberEinheiten(verkuerzung, 100.0); }

public slots:
    // Every call rebuilds the list and repaints at once, even when the value
    // is unchanged.
    void setzeRekTiefe(int rekTiefe)
    {
        // A negative depth would never end the recursion, and every level
        // beyond 10 quadruples the work and deepens the matrix stack towards
        // the 32 entries OpenGL guarantees.
        this->rekTiefe = qBound(0, rekTiefe, 10);
        erstelleBaum();
        updateGL();
    }
    void setzeWinkel(int winkel)
    {
        this->winkel = static_cast<float>(winkel * 0.5);
        erstelleBaum();
        updateGL();
    }
    void setzeLaenge(int laenge)
    {
        this->laenge = static_cast<float>(laenge * 0.01);
        erstelleBaum();
        updateGL();
    }
    void setzeVerkuerzung(int verkuerzung)
    {
        this->verkuerzung = static_cast<float>(verkuerzung * 0.01);
        erstelleBaum();
        updateGL();
    }
    void setzeWinkelSkal(int winkelskal)
    {
        winkelSkal = static_cast<float>(winkelskal * 0.01);
        erstelleBaum();
        updateGL();
    }

protected:
    void mousePressEvent(QMouseEvent *event) override { letzteMausPos = positionOf(event); }
    void mouseMoveEvent(QMouseEvent *event) override;
    void initializeGL() override;
    void resizeGL(int width, int height) override;
    void paintGL() override;

    void erstelleBaum();
    void erstelleBaumRek(float l, float w, int t);

    float rotX = 20.0f; // degrees about the screen's horizontal axis
    float rotY = 45.0f; // degrees about the trunk's axis
    float zDist = 5.0f;
    int rekTiefe = 6;         // levels drawn, the trunk being level 0
    float winkel = 45.0f;     // degrees between a branch and its parent
    float laenge = 0.25f;     // of the trunk, in model units
    float verkuerzung = 0.8f; // length factor from one level to the next
    float winkelSkal = 1.0f;  // angle factor from one level to the next
    QPoint letzteMausPos;
    GLuint objektRef = 0; // the tree's display list; 0 while none exists

private:
    // Truncates towards zero; values beyond int saturate instead of overflowing.
    static int inSchieberEinheiten(float wert, double einheiten)
    {
        return static_cast<int>(qBound(double(INT_MIN), wert * einheiten, double(INT_MAX)));
    }
};

#endif // OPENGLBAUMZEIGER_H
