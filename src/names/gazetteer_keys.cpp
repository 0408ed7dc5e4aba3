// How the place-name search sees a name: Windows-1252 upper case, the folding of the German
// and French letters it treats specially, the symbols of the prefix tables and the order of
// the sorted name index.
#include <algorithm>
#include <cstring>

#include "names/names.h"

unsigned char UpperCase1252(unsigned char c) {
    if (c >= 'a' && c <= 'z') return (unsigned char)(c - 32);
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return (unsigned char)(c - 32);
    switch (c) {
    case 0x9A: return 0x8A;  // š
    case 0x9C: return 0x8C;  // œ
    case 0x9E: return 0x8E;  // ž
    case 0xFF: return 0x9F;  // ÿ
    default: return c;
    }
}

std::string UpperCase1252(const std::string& s) {
    std::string out(s);
    for (char& c : out) c = (char)UpperCase1252((unsigned char)c);
    return out;
}

int SymbolCode(unsigned char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= '0' && c <= '9') return 26 + (c - '0');
    return -1;
}

std::string NormaliseSearchKey(const std::string& key) {
    std::string out;
    out.reserve(key.size());
    for (unsigned char c : key) {
        c = UpperCase1252(c);
        switch (c) {
        case 0xD6: c = 'O'; break;  // Ö
        case 0xC4: c = 'A'; break;  // Ä
        case 0xDC: c = 'U'; break;  // Ü
        case 0xC9: case 0xC8: c = 'E'; break;  // É È
        case 0xDF: c = 'S'; break;  // ß
        }
        out.push_back((char)c);
    }
    return out;
}

// First entry of the prefixes of length L: 36 + 36^2 + ... + 36^(L-1).
static long PrefixBase(int length) {
    long base = 0, power = 1;
    for (int i = 1; i < length; i++) {
        power *= kPrefixSymbols;
        base += power;
    }
    return base;
}

int PrefixEntry(const std::string& normalisedKey, int maxSymbols) {
    int length = 0;
    long value = 0;
    for (unsigned char c : normalisedKey) {
        int code = SymbolCode(c);
        if (code < 0 || length == maxSymbols) break;
        value = value * kPrefixSymbols + code;
        length++;
    }
    if (length == 0) return -1;
    return (int)(PrefixBase(length) + value);
}

std::string PrefixOfEntry(int entry) {
    int length = 1;
    while (length < 8 && entry >= PrefixBase(length + 1)) length++;
    long value = entry - PrefixBase(length);
    std::string out(length, ' ');
    for (int i = length - 1; i >= 0; i--) {
        int code = (int)(value % kPrefixSymbols);
        value /= kPrefixSymbols;
        out[i] = (char)(code < 26 ? 'A' + code : '0' + code - 26);
    }
    return out;
}

static int IsSpecialLetter(unsigned char c) {
    return c == 0xDF || c == 0xD6 || c == 0xC4 || c == 0xDC || c == 0xC9 || c == 0xC8;
}

std::string ComparisonKey(const std::string& key, int* special) {
    std::string out = UpperCase1252(key);
    *special = 0;
    for (unsigned char c : out)
        if (IsSpecialLetter(c)) *special = 1;
    return out;
}

// The folded form of one upper-case character: one character, or two for ß (SS).
static int FoldCharacter(unsigned char c, unsigned char out[2]) {
    switch (c) {
    case 0xD6: out[0] = 'O'; return 1;
    case 0xC4: out[0] = 'A'; return 1;
    case 0xDC: out[0] = 'U'; return 1;
    case 0xC9: case 0xC8: out[0] = 'E'; return 1;
    case 0xDF: out[0] = 'S', out[1] = 'S'; return 2;
    default: out[0] = c; return 1;
    }
}

std::string FoldComparisonName(const std::string& upperName) {
    std::string out;
    out.reserve(upperName.size() + 2);
    unsigned char folded[2];
    for (unsigned char c : upperName) out.append((const char*)folded, FoldCharacter(c, folded));
    return out;
}

int CompareNameWithKey(const uint8_t* name, size_t length, const std::string& key, const std::string& foldedKey,
                       int keySpecial) {
    if (!keySpecial) {
        // Folding changes only the six letters, and a name's ß lengthens it only from where it
        // stands: when none of them is among the characters compared, the bytes decide.
        size_t i = 0;
        while (i < key.size() && !IsSpecialLetter(name[i])) i++;
        if (i == key.size()) return memcmp(name, key.data(), key.size());
    }
    size_t j = 0;
    unsigned char folded[2];
    for (size_t i = 0; i < length && j < foldedKey.size(); i++) {
        int n = FoldCharacter(name[i], folded);
        for (int k = 0; k < n && j < foldedKey.size(); k++, j++)
            if (folded[k] != (unsigned char)foldedKey[j]) return folded[k] < (unsigned char)foldedKey[j] ? -1 : 1;
    }
    return j < foldedKey.size() ? -1 : 0;  // a folded name shorter than the key comes before it
}

