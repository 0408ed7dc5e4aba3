// The trees of the flyby: each cell with a vegetation class near the eye carries a few sprites
// of its class, scaled by distance and drawn back to front; a sprite's pixel shows only where
// the terrain drawn there lies behind the sprite's foot. Their places inside the cell come
// from the cell's row and column, so they stand still from frame to frame.
#include <algorithm>
#include <cmath>
#include <vector>

#include "flyby/flyby_render_internal.h"

// Sprites a cell carries and their height in km, by class (see kFlybyClassTextures): forests
// are dense and tall, woodland thinner, shrubs and desert scrub sparse and low. A sprite
// stands for a clump of trees, not one tree, or it would vanish a few km away.
struct ClassLook {
    int perCell;
    float heightKm;
};
static const ClassLook kClassLooks[kFlybyClasses] = {
    {0, 0}, {2, 0.12f}, {2, 0.12f}, {1, 0.10f}, {1, 0.06f}, {3, 0.14f},
    {3, 0.14f}, {3, 0.16f}, {3, 0.15f}, {3, 0.16f}, {1, 0.06f},
};

// A well-mixed 32-bit hash of the cell and the sprite's number in it.
static uint32_t PlaceHash(uint32_t n) {
    n ^= n >> 16;
    n *= 0x7FEB352Du;
    n ^= n >> 15;
    n *= 0x846CA68Bu;
    n ^= n >> 16;
    return n;
}

struct PlacedSprite {
    float depth, x, y, heightPx;   // the foot's screen position and the sprite's height on screen
    const FlybySprite* sprite;
};

static void PlaceCellSprites(const FlybyGrids& g, const FlybyArt& art, const FlybyView& v, int r, int c,
                             std::vector<PlacedSprite>* out) {
    int cls = g.classes[(size_t)r * kFlybyGrid + c];
    if (cls <= 0 || cls >= kFlybyClasses) return;
    const FlybySprite& sprite = art.classSprites[cls];
    if (sprite.width <= 0 || sprite.height <= 0) return;
    const ClassLook& look = kClassLooks[cls];
    for (int k = 0; k < look.perCell; k++) {
        uint32_t h = PlaceHash((uint32_t)(r * kFlybyGrid + c) * 4u + (uint32_t)k);
        float column = c + ((h & 0xFFFF) + 0.5f) / 65536.0f, row = r + ((h >> 16) + 0.5f) / 65536.0f;
        float x, y, depth;
        if (!FlybyProjectPoint(v, column, row, 0, &x, &y, &depth)) continue;
        if (depth < 0.5f || depth > kFlybyVegetationReach) continue;
        float heightPx = look.heightKm * v.focal / depth;
        float halfWidth = heightPx * sprite.width / sprite.height / 2;
        if (heightPx < 1 || x + halfWidth < 0 || x - halfWidth > v.width) continue;
        y = FlybyScreenRow(v, FlybyGroundHeight(g, column, row), depth);
        if (y < 0 || y - heightPx > v.height) continue;
        out->push_back({depth, x, y, heightPx, &sprite});
    }
}

// A sprite's pixel is hidden by terrain drawn nearer than its foot; the slack keeps the ground
// of its own cell, a step or two in front of the foot, from eating the lowest rows.
constexpr float kFootSlack = 0.6f;

static void DrawPlacedSprite(const PlacedSprite& p, const FlybyHazedPalette& hazed, int haze, const FlybyFrameTarget& t) {
    const FlybySprite& s = *p.sprite;
    float widthPx = p.heightPx * s.width / s.height;
    float left = p.x - widthPx / 2, topRow = p.y - p.heightPx;
    int x0 = std::max(0, (int)std::ceil(left)), x1 = std::min(t.width, (int)std::ceil(left + widthPx));
    int y0 = std::max(0, (int)std::ceil(topRow)), y1 = std::min(t.height, (int)std::ceil(p.y));
    const uint32_t* colours = hazed.colour[haze];
    float across = s.width / widthPx, down = s.height / p.heightPx;
    for (int y = y0; y < y1; y++) {
        int sr = std::min(s.height - 1, (int)((y - topRow) * down));
        const uint8_t* row = &s.pixels[(size_t)sr * s.width];
        uint32_t* line = t.pixels + (size_t)y * t.stride;
        const float* depths = t.depth + (size_t)y * t.width;
        for (int x = x0; x < x1; x++) {
            uint8_t index = row[std::min(s.width - 1, (int)((x - left) * across))];
            if (index != 0 && p.depth < depths[x] + kFootSlack) line[x] = colours[index];
        }
    }
}

void DrawFlybyVegetation(const FlybyGrids& g, const FlybyArt& art, const FlybyView& v, const FlybyHazedPalette& hazed,
                         const FlybyFrameTarget& t) {
    static std::vector<PlacedSprite> placed;   // kept between frames to spare the allocation
    placed.clear();
    int reach = (int)kFlybyVegetationReach + 1;
    int r0 = std::max(0, (int)v.row - reach), r1 = std::min(kFlybyGrid - 1, (int)v.row + reach);
    int c0 = std::max(0, (int)v.column - reach), c1 = std::min(kFlybyGrid - 1, (int)v.column + reach);
    for (int r = r0; r <= r1; r++)
        for (int c = c0; c <= c1; c++) PlaceCellSprites(g, art, v, r, c, &placed);
    std::sort(placed.begin(), placed.end(), [](const PlacedSprite& a, const PlacedSprite& b) { return a.depth > b.depth; });
    for (const PlacedSprite& p : placed) DrawPlacedSprite(p, hazed, FlybyHazeLevel(p.depth, v.farCells), t);
}
