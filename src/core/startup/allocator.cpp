// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#include "allocator.h"

#include <cstdlib> // defines __GLIBC__ with glibc

#ifdef __GLIBC__
#include <malloc.h>
#endif

void setUpAllocator()
{
#ifdef __GLIBC__
    mallopt(M_MXFAST, 0);
#endif
}

void giveBackFreedMemory()
{
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}
