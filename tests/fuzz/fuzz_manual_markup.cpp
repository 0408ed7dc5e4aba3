// Fuzz target: the manual's mark-up, line by line: line lengths, caption and picture fields,
// segments inside their line, and every tag's fields within their buffers.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "manual/manual_markup.h"

static void Check(bool ok) {
    if (!ok) abort();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ByteCursor cursor = MakeCursor(data, size);
    char line[kManualLineBuffer];
    size_t lines = 0;
    while (ReadManualLine(cursor, line)) {
        Check(++lines <= size);  // every line takes at least one byte
        size_t n = strnlen(line, sizeof line);
        Check(n <= (size_t)kManualLineMax);
        Check(memchr(line, '\t', n) == nullptr);
        int kind = ManualLineKind(line);
        if (kind != kLineText) {
            ManualPlaced placed;
            ParsePlacedLine(line, &placed);
            Check(strnlen(placed.text, sizeof placed.text) < sizeof placed.text);
            continue;
        }
        ManualSegment segments[kManualMaxSegments];
        int count = SplitManualSegments(line, segments);
        Check(count >= 0 && count <= kManualMaxSegments);
        int end = 0;
        for (int i = 0; i < count; i++) {
            const ManualSegment& s = segments[i];
            Check(s.start >= end && s.length >= 0 && s.start + s.length <= (int)n);
            end = s.start + s.length;
            ManualTag tag;
            ParseManualTag(line + s.start, s.length, &tag);
            Check(tag.kind >= kTagText && tag.kind <= kTagVideo);
            Check(tag.kind != kTagFont || (tag.font >= 1 && tag.font <= 4));
            Check(strnlen(tag.target, sizeof tag.target) <= (size_t)kManualTargetMax);
            Check(strnlen(tag.shown, sizeof tag.shown) < sizeof tag.shown);
            int at[8];
            int found = FindManualMatches(line + s.start, s.length, "A", at, 8);
            for (int k = 0; k < found && k < 8; k++) Check(at[k] >= 0 && at[k] < s.length);
        }
    }
    Check(CursorLeft(cursor) == 0);
    return 0;
}

std::vector<std::vector<uint8_t>> FuzzSeeds() {
    const char* seeds[] = {
        "{bigtext=51,100,\"Satellites\"}\n{4}The globe shows {f \"sats\\gps.txt\" GPS} and more.\r\n",
        "{bitmap=300,60,\"manual\\pic.bmp\"}\n{1}Heading\n{2}Second\n{3}Third\n",
        "{u \"https://example.org\" site} {s \"08 02\" show} {z \"5.5,48,45.8,10.5\" Swiss}\n",
        "{v \"20,60,180,180\" video\\clip.avi\"}\nplain\ttabbed\rline\n{x odd}}{\n",
    };
    std::vector<std::vector<uint8_t>> out;
    for (const char* s : seeds) out.emplace_back(s, s + strlen(s));
    std::string many;
    for (int i = 0; i < 40; i++) many += "{4}w";
    many += "\n" + std::string(300, 'L') + "\n";
    out.emplace_back(many.begin(), many.end());
    return out;
}
