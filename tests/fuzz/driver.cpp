// Runs a fuzz target without libFuzzer: over its seed inputs and a fixed number of
// deterministic mutations of them (bit flips, truncations, random field values).
// Options: --mutations n (10000 by default); --crash-file path, where a sanitized build writes
// the input a sanitizer stopped on; --input path, which runs that one file instead.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/common_interface_defs.h>
#endif

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
// Each target supplies well-formed seeds.
std::vector<std::vector<uint8_t>> FuzzSeeds();

// The input being run, for the sanitizer's death callback.
static struct {
    const std::vector<uint8_t>* input = nullptr;
    const char* crashFile = nullptr;
} current;

#if defined(__SANITIZE_ADDRESS__)
static void SaveCurrentInput() {
    if (!current.input || !current.crashFile) return;
    FILE* f = fopen(current.crashFile, "wb");
    if (!f) return;
    if (!current.input->empty()) fwrite(current.input->data(), 1, current.input->size(), f);
    fclose(f);
    fprintf(stderr, "the input that failed (%zu bytes) is in %s\n", current.input->size(), current.crashFile);
}
#endif

static void Run(const std::vector<uint8_t>& input) {
    current.input = &input;
    LLVMFuzzerTestOneInput(input.data(), input.size());
    current.input = nullptr;
}

static int ReadInput(const char* path, std::vector<uint8_t>* out) {
    FILE* f = fopen(path, "rb");
    if (!f) {
        fprintf(stderr, "Cannot open %s\n", path);
        return 0;
    }
    int c;
    while ((c = fgetc(f)) != EOF) out->push_back((uint8_t)c);
    fclose(f);
    return 1;
}

int main(int argc, char** argv) {
    long mutations = 10000;
    const char* inputFile = nullptr;
    for (int i = 1; i + 1 < argc; i++) {
        if (strcmp(argv[i], "--mutations") == 0) mutations = atol(argv[i + 1]);
        if (strcmp(argv[i], "--crash-file") == 0) current.crashFile = argv[i + 1];
        if (strcmp(argv[i], "--input") == 0) inputFile = argv[i + 1];
    }
#if defined(__SANITIZE_ADDRESS__)
    __sanitizer_set_death_callback(SaveCurrentInput);
#endif
    if (inputFile) {
        std::vector<uint8_t> input;
        if (!ReadInput(inputFile, &input)) return 1;
        Run(input);
        printf("%s ran without a fault\n", inputFile);
        return 0;
    }
    std::vector<std::vector<uint8_t>> seeds = FuzzSeeds();
    for (auto& s : seeds) Run(s);
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
        Run(input);
    }
    printf("%zu seeds and %ld mutations ran without a fault\n", seeds.size(), mutations);
    return 0;
}
