// Runs a fuzz target without libFuzzer: over its seed inputs and a fixed number of
// deterministic mutations of them (bit flips, truncations, random field values).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
// Each target supplies well-formed seeds.
std::vector<std::vector<uint8_t>> FuzzSeeds();

int main(int argc, char** argv) {
    long mutations = 10000;
    for (int i = 1; i + 1 < argc; i++)
        if (strcmp(argv[i], "--mutations") == 0) mutations = atol(argv[i + 1]);
    std::vector<std::vector<uint8_t>> seeds = FuzzSeeds();
    for (auto& s : seeds) LLVMFuzzerTestOneInput(s.data(), s.size());
    std::mt19937 random(12345);
    for (long m = 0; m < mutations && !seeds.empty(); m++) {
        std::vector<uint8_t> input = seeds[random() % seeds.size()];
        int edits = 1 + (int)(random() % 8);
        for (int e = 0; e < edits && !input.empty(); e++) {
            size_t at = random() % input.size();
            switch (random() % 5) {
            case 0: input[at] ^= (uint8_t)(1u << (random() % 8)); break;
            case 1: input[at] = (uint8_t)random(); break;
            case 2: input.resize(at); break;
            case 3: for (size_t k = at; k < input.size() && k < at + 4; k++) input[k] = 0xFF; break;
            case 4: for (size_t k = at; k < input.size() && k < at + 4; k++) input[k] = 0; break;
            }
        }
        LLVMFuzzerTestOneInput(input.data(), input.size());
    }
    printf("%zu seeds and %ld mutations ran without a fault\n", seeds.size(), mutations);
    return 0;
}
