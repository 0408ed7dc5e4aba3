// Fuzz target: the quiz's question file reader over damaged and hostile question files, with
// the stored index taken from the input's first bytes.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "manual/manual.h"

std::vector<std::vector<uint8_t>> FuzzSeeds() {
    std::string file =
        "\x07\x00\x00\x00"
        "2\n"
        "Which ocean is the largest?\nPacific\nAtlantic\nIndian\nArctic\n0The Pacific.\n"
        "Which river is longest?\r\nNile\r\nAmazon\r\nYangtze\r\nMississippi\r\n1Measurements differ.\r\n";
    std::string longLines = std::string("\x01\x00\x00\x00", 4) + "1\n" + std::string(400, 'q') + "\na\nb\nc\nd\n3" +
                            std::string(200, 'e');
    return {std::vector<uint8_t>(file.begin(), file.end()), std::vector<uint8_t>(longLines.begin(), longLines.end()),
            {0xFF, 0xFF, 0xFF, 0x7F, '9', '9', '9', '9', '9', '9', '9', '9', '9', '9', '\n'}};
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4) return 0;
    int index = (int)((uint32_t)data[0] | (uint32_t)data[1] << 8 | (uint32_t)data[2] << 16 | (uint32_t)data[3] << 24);
    // An empty buffer is refused by fmemopen: an empty file reads the same as a lone NUL.
    static const uint8_t nothing = 0;
    FILE* f = size > 4 ? fmemopen((void*)(data + 4), size - 4, "rb") : fmemopen((void*)&nothing, 1, "rb");
    if (!f) return 0;
    TriviaQuestion q;
    int n = ReadTriviaQuestion(f, &index, &q);
    fclose(f);
    if (n < 0) __builtin_trap();
    if (n == 0 && index != 0) __builtin_trap();
    if (n > 0 && (index < 0 || index >= n || q.number < 0 || q.number >= n)) __builtin_trap();
    if (n > 0 && index != (q.number + 1) % n) __builtin_trap();
    const char* lines[6] = {q.question, q.answers[0], q.answers[1], q.answers[2], q.answers[3], q.judgement};
    for (const char* line : lines)
        if (strnlen(line, kTriviaLineSize) >= (size_t)kTriviaLineSize || strchr(line, '\n')) __builtin_trap();
    return 0;
}
