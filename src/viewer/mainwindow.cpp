// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#include "mainwindow.h"
#include "arrowkeys.h"
#include "inputburstfilter.h"
#include "startingpoints.h"
#include "treeactions.h"
#include "treehistory.h"
#include "treeview.h"
#include "viewnavigator.h"

#include <QGridLayout>
#include <QLabel>
#include <QSlider>

MainWindow::MainWindow(QWidget *parent)
    : QWidget(parent)
{
    QGridLayout *hauptLayout = new QGridLayout(this);
    // The view, as linetree reaches into it
    auto *ansicht = new TreeView(this);
    glZeiger = ansicht;
    hauptLayout->addWidget(glZeiger, 0, 0, 2, 2);
    glZeiger->setAccessibleName(tr("Line tree"));
    glZeiger->setAccessibleDescription(
            tr("Drag with the left mouse button or press the arrow keys to turn the tree: up "
               "and down tilts it, left and right spins it about its trunk. With Shift, the "
               "arrow keys turn it by the smallest step. The wheel, or + and -, zooms; a drag "
               "with the middle button, or Ctrl with the arrow keys, moves it; F fits it to "
               "the view."));

    // Slider units: half degrees for the angle, hundredths for the factors
    // and the length, levels for the depth.
    winkelSchieber = erstelleZeile(
            hauptLayout, 2, tr("Angle: "),
            tr("Angle between a branch and its parent, in half degrees: 15 to 90 are 7.5 to 45 "
               "degrees."),
            lowestParameters.winkel, highestParameters.winkel, glZeiger->gebeWinkel(),
            SLOT(setzeWinkel(int)));
    winkelSkalSchieber = erstelleZeile(
            hauptLayout, 3, tr("Angle Skal: "),
            tr("Factor on the branch angle from one level to the next, in hundredths."),
            lowestParameters.winkelSkal, highestParameters.winkelSkal, glZeiger->gebeWinkelSkal(),
            SLOT(setzeWinkelSkal(int)));
    laengenSchieber
            = erstelleZeile(hauptLayout, 4, tr("Length: "),
                            tr("Length of the trunk, in hundredths of half the view's height."),
                            lowestParameters.laenge, highestParameters.laenge,
                            glZeiger->gebeLaenge(), SLOT(setzeLaenge(int)));
    laengenRedSchieber
            = erstelleZeile(hauptLayout, 5, tr("Length Red.: "),
                            tr("Factor on the length from one level to the next, in hundredths."),
                            lowestParameters.verkuerzung, highestParameters.verkuerzung,
                            glZeiger->gebeVerkuerzung(), SLOT(setzeVerkuerzung(int)));
    rekTiefeSchieber
            = erstelleZeile(hauptLayout, 6, tr("Rek. Depth: "),
                            tr("Number of levels drawn, the trunk being the first, in levels."),
                            lowestParameters.rekTiefe, highestParameters.rekTiefe,
                            glZeiger->gebeRekTiefe(), SLOT(setzeRekTiefe(int)));

    // Every change a step to undo, which follows the sliders' input as they
    // take it, past the burst filter below; saving, copying, opening,
    // pasting, undoing and resetting, and examples and random trees, on the
    // view's menu
    auto *schritte = new TreeHistory(ansicht,
                                     {winkelSchieber, winkelSkalSchieber, laengenSchieber,
                                      laengenRedSchieber, rekTiefeSchieber},
                                     ansicht);
    auto *aktionen = new TreeActions(ansicht, schritte);
    // Input that queues up behind a rebuild moves a slider once.
    auto *eingabeBuendel = new InputBurstFilter(this);
    for (QSlider *schieber : {winkelSchieber, winkelSkalSchieber, laengenSchieber,
                              laengenRedSchieber, rekTiefeSchieber})
        schieber->installEventFilter(eingabeBuendel);

    // The arrow keys turn and move the tree, and Tab reaches the view before
    // the sliders; the keyboard starts on the first slider, as it always has.
    new ArrowKeys(glZeiger);
    winkelSchieber->setFocus();
    // Zooming and panning, on the view's menu too
    new ViewNavigator(ansicht);
    new StartingPoints(ansicht, schritte, aktionen);
}

MainWindow::~MainWindow()
{
}

QSlider *MainWindow::erstelleZeile(QGridLayout *layout, int zeile, const QString &text,
                                   const QString &beschreibung, int minimum, int maximum, int start,
                                   const char *slot)
{
    QLabel *beschriftung = new QLabel(text);
    layout->addWidget(beschriftung, zeile, 0);
    QSlider *schieber = new QSlider(Qt::Horizontal, this);
    layout->addWidget(schieber, zeile, 1);
    // Screen readers name the slider after its label and tell its unit.
    beschriftung->setBuddy(schieber);
    schieber->setAccessibleDescription(beschreibung);
    schieber->setRange(minimum, maximum);
    schieber->setValue(start);
    // Connected last, so that placing the slider calls no slot of the view.
    connect(schieber, SIGNAL(valueChanged(int)), glZeiger, slot);
    return schieber;
}
