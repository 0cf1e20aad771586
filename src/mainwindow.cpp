// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#include "mainwindow.h"
#include "openglbaumzeiger.h"

#include <QGridLayout>
#include <QLabel>
#include <QSlider>

MainWindow::MainWindow(QWidget *parent)
    : QWidget(parent)
{
    QGridLayout *hauptLayout = new QGridLayout(this);
    glZeiger = new OpenGLBaumZeiger(this);
    hauptLayout->addWidget(glZeiger, 0, 0, 2, 2);

    // Slider units: half degrees for the angle, hundredths for the factors
    // and the length, levels for the depth.
    winkelSchieber = erstelleZeile(hauptLayout, 2, tr("Angle: "), 15, 90, glZeiger->gebeWinkel(),
                                   SLOT(setzeWinkel(int)));
    winkelSkalSchieber = erstelleZeile(hauptLayout, 3, tr("Angle Skal: "), 10, 100,
                                       glZeiger->gebeWinkelSkal(), SLOT(setzeWinkelSkal(int)));
    laengenSchieber = erstelleZeile(hauptLayout, 4, tr("Length: "), 10, 100, glZeiger->gebeLaenge(),
                                    SLOT(setzeLaenge(int)));
    laengenRedSchieber = erstelleZeile(hauptLayout, 5, tr("Length Red.: "), 10, 100,
                                       glZeiger->gebeVerkuerzung(), SLOT(setzeVerkuerzung(int)));
    rekTiefeSchieber = erstelleZeile(hauptLayout, 6, tr("Rek. Depth: "), 1, 10,
                                     glZeiger->gebeRekTiefe(), SLOT(setzeRekTiefe(int)));
}

MainWindow::~MainWindow()
{
}

QSlider *MainWindow::erstelleZeile(QGridLayout *layout, int zeile, const QString &text, int minimum,
                                   int maximum, int start, const char *slot)
{
    layout->addWidget(new QLabel(text), zeile, 0);
    QSlider *schieber = new QSlider(Qt::Horizontal, this);
    layout->addWidget(schieber, zeile, 1);
    schieber->setRange(minimum, maximum);
    schieber->setValue(start);
    // Connected last, so that placing the slider calls no slot of the view.
    connect(schieber, SIGNAL(valueChanged(int)), glZeiger, slot);
    return schieber;
}
