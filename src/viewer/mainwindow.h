// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#ifndef MAINWINDOW_H
#define MAINWINDOW_H

#include <QWidget>

class OpenGLBaumZeiger;
class QGridLayout;
class QSlider;

// The tree view above one labelled slider for each tree parameter.
class MainWindow : public QWidget
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

protected:
    QSlider *winkelSchieber;
    QSlider *winkelSkalSchieber;
    QSlider *laengenSchieber;
    QSlider *laengenRedSchieber;
    QSlider *rekTiefeSchieber;
    OpenGLBaumZeiger *glZeiger;

private:
    QSlider *erstelleZeile(QGridLayout *layout, int zeile, const QString &text,
                           const QString &beschreibung, int minimum, int maximum, int start,
                           const char *slot);
};

#endif // MAINWINDOW_H
