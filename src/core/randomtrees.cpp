// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#include "randomtrees.h"

#include <array>
#include <cmath>

namespace {

// The fields in the sliders' order, and how far a variation moves each
constexpr std::array<int TreeParameters::*, 5> fields {
        &TreeParameters::winkel, &TreeParameters::winkelSkal, &TreeParameters::laenge,
        &TreeParameters::verkuerzung, &TreeParameters::rekTiefe};
constexpr TreeParameters variedBy {3, 3, 3, 3, 1};

// Where a random tree's values come from: every angle, fans and brooms and
// all between, at depths that show branching, and lengths that give a tree
// seen whole
constexpr TreeParameters randomLowest {15, 50, 10, 40, 3};
constexpr TreeParameters randomHighest {90, 100, 60, 95, 9};

// No point of a tree lies further from its first fork than one path of its
// segments, trunk to tip, reaches: within 0.95 of the view's half, that is
// whole inside the unzoomed view however it is turned, and beyond 0.4 more
// than a dot.
bool standsWhole(const TreeParameters &tree)
{
    double reach = 0;
    double length = tree.laenge * 0.01;
    for (int level = 0; level < tree.rekTiefe; ++level) {
        reach += length;
        length *= tree.verkuerzung * 0.01;
    }
    return reach >= 0.4 && reach <= 0.95;
}

} // namespace

RandomTrees::RandomTrees(quint32 seed)
    : engine(seed)
{
}

TreeParameters RandomTrees::tree()
{
    TreeParameters drawn;
    do {
        for (int TreeParameters::*field : fields)
            drawn.*field = between(randomLowest.*field, randomHighest.*field);
    } while (!standsWhole(drawn));
    return drawn;
}

TreeParameters RandomTrees::variation(const TreeParameters &tree)
{
    TreeParameters varied;
    do {
        for (int TreeParameters::*field : fields) {
            varied.*field = qBound(lowestParameters.*field,
                                   tree.*field + between(-(variedBy.*field), variedBy.*field),
                                   highestParameters.*field);
        }
    } while (varied == tree);
    return varied;
}

// The remainder of the engine's number: each value as likely as the next,
// but for a part in a hundred million
int RandomTrees::between(int lowest, int highest)
{
    return lowest + int(engine() % quint32(highest - lowest + 1));
}

quint32 freshSeed()
{
    return std::random_device()();
}
