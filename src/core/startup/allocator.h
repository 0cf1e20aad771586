// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#ifndef ALLOCATOR_H
#define ALLOCATOR_H

// How linetree has glibc's allocator serve the display lists.
//
// Every rebuild has the driver free the old display list and allocate the new
// one, up to a few hundred megabytes in hundreds of thousands of small blocks.
// glibc's fast bins make that markedly slower (consolidating them costs more
// than they save here), so they are switched off. And glibc keeps what was
// freed for later use, which after a smaller tree would be hundreds of
// megabytes held for nothing, so it goes back to the system after each
// rebuild. With another C library both do nothing.

// Once, before the display lists are first built
void setUpAllocator();

// After each rebuild
void giveBackFreedMemory();

#endif // ALLOCATOR_H
