// What the extraction steps share inside this folder: the buffer allocation that a test can
// make fail, and the writing of a finished grid.
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>
#include <vector>

#include "platform/platform.h"

// 1 when the allocation asked for by FailTerrainAllocation is this one (it then switches off).
int TerrainAllocationFails();

// Sizes a zeroed buffer; shows `message` and returns 0 when it cannot be had.
template <typename T>
int TerrainAllocate(std::vector<T>* buffer, size_t count, const char* message) {
    int ok = !TerrainAllocationFails();
    if (ok) {
        try {
            buffer->assign(count, T{});
        } catch (const std::bad_alloc&) {
            ok = 0;
        }
    }
    if (!ok) ShowMessage("%s", message);
    return ok;
}

// Writes the bytes to a file created anew; "Cannot open file %s" and 0 when it fails, with
// no partial file left behind.
int WriteGridFile(const char* path, const std::vector<uint8_t>& bytes);
