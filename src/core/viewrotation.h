// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#ifndef VIEWROTATION_H
#define VIEWROTATION_H

class OpenGLBaumZeiger;

// How the view turns the tree, in degrees: first about the trunk, then
// tilted about the screen's horizontal axis. Exact, as the view holds them.
struct ViewRotation
{
    float turn = 0;
    float tilt = 0;
};

ViewRotation rotationOf(const OpenGLBaumZeiger *view);

// Turns the view so for its next frame; its list stays as it is.
void setRotation(OpenGLBaumZeiger *view, const ViewRotation &rotation);

// Turns it so and repaints it at once.
void turnView(OpenGLBaumZeiger *view, const ViewRotation &rotation);

#endif // VIEWROTATION_H
