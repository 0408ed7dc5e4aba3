// Temporary folders and small files for tests.
#include "support/test_volume.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "imaging/panel_buttons.h"
#include "imaging/imaging.h"

TempFolder::TempFolder() {
    char pattern[] = "/tmp/mundora-test-XXXXXX";
    const char* made = mkdtemp(pattern);
    path = made ? made : "/tmp";
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    if (path.rfind("/tmp/mundora-test-", 0) == 0) std::filesystem::remove_all(path, ignored);
}

int WriteTestFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) return 0;
    size_t n = bytes.empty() ? 0 : fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
    return n == bytes.size();
}

int WriteTestText(const std::string& path, const std::string& text) {
    return WriteTestFile(path, std::vector<uint8_t>(text.begin(), text.end()));
}

std::vector<uint8_t> ReadTestFile(const std::string& path) {
    std::vector<uint8_t> bytes;
    FILE* f = fopen(path.c_str(), "rb");
    if (!f) return bytes;
    int c;
    while ((c = fgetc(f)) != EOF) bytes.push_back((uint8_t)c);
    fclose(f);
    return bytes;
}

std::vector<uint8_t> SolidBmp24(int w, int h, uint32_t rgb) {
    std::vector<uint32_t> pixels((size_t)w * h, 0xFF000000u | rgb);
    return EncodeBmp24(pixels.data(), w, h, w);
}

std::string SourceDir() {
    return MUNDORA_SOURCE_TREE;
}

int WritePanelBitmaps(const std::string& volume) {
    std::vector<uint8_t> picture = SolidBmp24(4, 4, 0x808080);
    for (int id = 1; id <= kPanelButtons; id++) {
        std::string names[6];
        int count = 0;
        PanelBitmapNames(id, names, &count);
        for (int i = 0; i < count; i++) {
            std::string relative = names[i];
            for (char& c : relative)
                if (c == '\\') c = '/';
            if (!WriteTestFile(volume + "/" + relative, picture)) return 0;
        }
    }
    return 1;
}
