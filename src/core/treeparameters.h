// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#ifndef TREEPARAMETERS_H
#define TREEPARAMETERS_H

#include <QString>

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

// How the view shows the tree. It turns it about the trunk by `turn` and
// tilts it about the screen's horizontal axis by `tilt`, in degrees, exact
// as the view holds them. Then it moves it across the screen by `panX` and
// `panY` and zooms it by `zoom` about the view's centre. The pan is in the
// tree's own units, those of the Length slider, in which the unzoomed view
// spans -1 to 1 whatever its size in pixels: the view's centre shows the
// point (-panX, -panY) of the turned tree.
struct ViewState
{
    float turn = 0;
    float tilt = 0;
    double zoom = 1;
    double panX = 0;
    double panY = 0;

    bool operator==(const ViewState &other) const;
    bool operator!=(const ViewState &other) const { return !(*this == other); }
};

// The zoom runs from a view 20 units across, which holds the largest tree
// the sliders make whole (its tips lie within 9 units of its first fork, its
// foot 1 below), to 1000 times, where a pixel of a 600-pixel view still
// spans some thirty steps of the single precision in which OpenGL places a
// unit-sized tree's lines. The pan reaches well beyond any tree.
inline constexpr double largestReach = 10;
inline constexpr double lowestZoom = 1 / largestReach;
inline constexpr double highestZoom = 1000;
inline constexpr double widestPan = 100;

// A tree as a person keeps it: its parameters and how the view shows it
struct TreeState
{
    TreeParameters parameters;
    ViewState view;

    bool operator==(const TreeState &other) const;
    bool operator!=(const TreeState &other) const { return !(*this == other); }
};

// The parameters and the view in one line that people can read and write,
// with the values in degrees and factors, the five exact to the sliders'
// steps and the view's numbers exact to the view's own:
//   linetree angle=45.0 angle-scale=1.00 length=0.25 length-reduction=0.80 depth=6 turn=45 tilt=20
//   zoom=1 pan-x=0 pan-y=0
QString parameterLine(const TreeState &tree);

// The first line of a text whose first word is "linetree", without the
// spaces around it; nothing where there is none.
QString findParameterLine(const QString &text);

// Reads a line written so into `tree`: the parameters, each one of its
// slider's values from `minimum` to `maximum`, and the view. An angle that
// the line leaves out stays as `tree` holds it. Where the line gives any of
// the view's values, a zoom or pan that it leaves out is the unzoomed view's;
// where it gives none, they stay too. False, with what is wrong in `error`
// and `tree` as it was, where the line is no such line or a parameter is
// missing, or a value is unknown, given twice, not a number, not one its
// slider can take, not a finite angle or outside the zoom's or pan's range.
// Nothing is rounded or clamped.
bool readParameterLine(const QString &line, const TreeParameters &minimum,
                       const TreeParameters &maximum, TreeState *tree, QString *error);

// A value quoted in a message: printable, and short enough to read
QString quoted(const QString &text);

#endif // TREEPARAMETERS_H
