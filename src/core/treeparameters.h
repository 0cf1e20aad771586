// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#ifndef TREEPARAMETERS_H
#define TREEPARAMETERS_H

#include "viewrotation.h"

#include <QString>

class OpenGLBaumZeiger;

// The five tree parameters in slider units, in the order of the sliders:
// the angle in half degrees, the angle scale, the length and the length
// reduction in hundredths, the depth in levels.
struct TreeParameters
{
    int winkel = 0;
    int winkelSkal = 0;
    int laenge = 0;
    int verkuerzung = 0;
    int rekTiefe = 0;

    bool operator==(const TreeParameters &other) const;
};

// The sliders' ranges
inline constexpr TreeParameters lowestParameters {15, 10, 10, 10, 1};
inline constexpr TreeParameters highestParameters {90, 100, 100, 100, 10};

// Gives the view all five parameters and rebuilds its tree once.
void giveParameters(OpenGLBaumZeiger *view, const TreeParameters &parameters);

// The parameters and the view's rotation in one line that people can read
// and write, with the values in degrees and factors, the five exact to the
// sliders' steps and the two angles exact to the view's own numbers:
//   linetree angle=45.0 angle-scale=1.00 length=0.25 length-reduction=0.80 depth=6 turn=45 tilt=20
QString parameterLine(const TreeParameters &parameters, const ViewRotation &rotation);

// The first line of a text whose first word is "linetree", without the
// spaces around it; nothing where there is none.
QString findParameterLine(const QString &text);

// The parameters that a line written so holds, each one of its slider's
// values from `minimum` to `maximum`, and the angles of the rotation that it
// gives: one it leaves out stays as `rotation` holds it. False, with what is
// wrong in `error`, where the line is no such line or a parameter is missing,
// or a value is unknown, given twice, not a number, not one its slider can
// take or not a finite angle. Nothing is rounded or clamped.
bool readParameterLine(const QString &line, const TreeParameters &minimum,
                       const TreeParameters &maximum, TreeParameters *parameters,
                       ViewRotation *rotation, QString *error);

// A value quoted in a message: printable, and short enough to read
QString quoted(const QString &text);

#endif // TREEPARAMETERS_H
