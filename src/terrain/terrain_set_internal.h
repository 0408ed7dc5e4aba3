// Reading set files into layers, shared by the set loader and the derived layers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Reads the first cells x cellBytes bytes of a set file into out. "Cannot open file %s" when
// it is missing, "Cannot read data from file %s" when it is shorter; 0 then.
int ReadTerrainFile(const std::string& path, size_t cells, int cellBytes, std::vector<uint8_t>* out);
// An n x n file of 16-bit or 8-bit cells into the rows of a layer; the messages above.
int ReadTerrainHeightLayer(int16_t** rows, const std::string& path, int n);
int ReadTerrainByteLayer(uint8_t** rows, const std::string& path, int n);
// The refusals every loader shares: no buffers, or a grid larger than they hold.
int CheckTerrainGrid(int n);
