// Shared pieces of the raster step: the sources one worker holds, relief shading, the fine
// tile encoder and its error statistics. Split out so tests can drive each part.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "raster_sources.h"
#include "vq_codebook.h"

// The sources one worker reads (GDAL handles are not shared between threads).
struct RasterInputs {
    RasterSource elevation, imagery;
};
int OpenRasterInputs(const BuildContext& ctx, RasterInputs* in);
void CloseRasterInputs(RasterInputs* in);

// Heights of a grid in metres (0 where the source has none).
int ReadHeights(RasterInputs* in, const SampleGrid& grid, std::vector<float>* heights);
// Red, green, blue 0..255 of a grid (black where the imagery has none).
int ReadColours(RasterInputs* in, const SampleGrid& grid, std::vector<float> rgb[3]);

// Relief shading of the inner (width-2) x (height-2) samples of a grid of heights that has a
// one-sample margin: 1..255 over land (lit from the north-west), 0 where the height is 0 or less.
void ReliefShade(const std::vector<float>& heights, const SampleGrid& grid, std::vector<uint8_t>* shade);

// Squared errors and absolute height errors gathered while encoding, summed over tiles.
struct ErrorStats {
    double colourSquared = 0, shadeSquared = 0, heightAbsolute = 0;
    uint64_t colourCount = 0, shadeCount = 0, heightCount = 0;
    std::vector<uint64_t> heightHistogram = std::vector<uint64_t>(20001, 0);  // |error| in metres, last bin 20000+
    void Add(const ErrorStats& o);
    double ColourPsnr() const;
    double ShadePsnr() const;
    double HeightMean() const;
    double HeightPercentile(double p) const;
};

// The four codebooks as the builder trains and encodes with them (float copies of the values
// written to the files).
struct RasterCodebooks {
    std::vector<float> shade, height, rg, b;  // 4096, 4096, 2048, 1024 entries of 16 values
    VqSearcher shadeSearch, heightSearch, rgSearch, bSearch;
};
void PrepareSearchers(RasterCodebooks* books);
std::vector<uint8_t> ShadeCodebookBytes(const std::vector<float>& words);
std::vector<uint8_t> Codebook16Bytes(const std::vector<float>& words);

// The source of one fine tile on its grid and the coarse samples beneath it, as the viewer
// reads them (unscrambled). Rows north to south, kFineSamples wide; base 334 x 334.
struct FineSource {
    std::vector<float> height;      // metres
    std::vector<uint8_t> shade;
    std::vector<float> rgb[3];
    std::vector<int16_t> heightBase;
    std::vector<uint16_t> colourBase;  // 5-6-5
    int hasLand = 0;
};
// Reads the source of fine tile (west, north) and its base from the coarse tiles of the volume
// being built (coarseDir: where "raster\..." lives). wantColour = 0 skips the imagery.
int ReadFineSource(RasterInputs* in, const std::string& volumeDir, int west, int north, FineSource* src);

// The residual blocks of one fine tile for training: every stride-th block chosen at random.
void SampleFineBlocks(const FineSource& src, uint32_t seed, double share, std::vector<float>* shade,
                      std::vector<float>* height, std::vector<float>* rg, std::vector<float>* b);

// Encodes a fine tile into the bytes of its ".cvq", ".hvc" and ".vqc" files, gathering errors.
void EncodeFineTile(const FineSource& src, const RasterCodebooks& books, std::vector<uint8_t>* cvq,
                    std::vector<uint8_t>* hvc, std::vector<uint8_t>* vqc, ErrorStats* stats);
