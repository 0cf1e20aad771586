// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#ifndef RANDOMTREES_H
#define RANDOMTREES_H

#include "treeparameters.h"

#include <random>

// Random trees that are the same for one seed on every machine: the numbers
// of std::mt19937, which the standard fixes, mapped to the sliders' steps by
// linetree's own integer arithmetic, since the standard library's
// distributions differ from one library to the next.
class RandomTrees
{
public:
    explicit RandomTrees(quint32 seed);

    // A tree that stands whole inside the unzoomed view, however it is
    // turned, and is more than a dot: every value on its slider's steps
    TreeParameters tree();
    // `tree` with each value moved by a few steps, within its slider's
    // range, and not all of them by none
    TreeParameters variation(const TreeParameters &tree);

private:
    int between(int lowest, int highest);

    std::mt19937 engine;
};

// A seed for a run, from the system's randomness
quint32 freshSeed();

#endif // RANDOMTREES_H
