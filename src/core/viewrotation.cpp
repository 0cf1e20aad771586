// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#include "viewrotation.h"
#include "openglbaumzeiger.h"

namespace {

// The view keeps its rotation to itself and to those derived from it; a
// pointer taken through a class derived from it reaches it in any view.
struct Rotation : OpenGLBaumZeiger
{
    using OpenGLBaumZeiger::rotX;
    using OpenGLBaumZeiger::rotY;
};

} // namespace

ViewRotation rotationOf(const OpenGLBaumZeiger *view)
{
    return {view->*&Rotation::rotY, view->*&Rotation::rotX};
}

void setRotation(OpenGLBaumZeiger *view, const ViewRotation &rotation)
{
    view->*&Rotation::rotY = rotation.turn;
    view->*&Rotation::rotX = rotation.tilt;
}

void turnView(OpenGLBaumZeiger *view, const ViewRotation &rotation)
{
    setRotation(view, rotation);
    view->updateGL();
}
