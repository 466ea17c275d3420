// Build step: reads the Unihan readings file (uncompressed, on standard
// input) and writes the C++ table of every Mandarin reading of each Han
// character, without tones, as the pinyin search keys spell them.
#include <cstdio>
#include <iostream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

// UTF-8 text to code points.
std::u32string decoded(const std::string &s)
{
    std::u32string out;
    for (size_t i = 0; i < s.size();) {
        const unsigned char c = s[i];
        char32_t cp = c;
        int extra = 0;
        if (c >= 0xF0) { cp = c & 0x07; extra = 3; }
        else if (c >= 0xE0) { cp = c & 0x0F; extra = 2; }
        else if (c >= 0xC0) { cp = c & 0x1F; extra = 1; }
        for (int k = 1; k <= extra && i + k < s.size(); ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        out += cp;
        i += extra + 1;
    }
    return out;
}

// A toned reading ("lǜ", "zhǎng") as typed on a keyboard ("lv", "zhang").
std::string toneless(const std::string &reading)
{
    std::string out;
    for (char32_t cp : decoded(reading)) {
        if (cp < 0x80) {
            if (cp >= 'a' && cp <= 'z')
                out += char(cp);
            continue;
        }
        switch (cp) {
        case U'à': case U'á': case U'ā': case U'ǎ': out += 'a'; break;
        case U'è': case U'é': case U'ē': case U'ě': case U'ê': case U'ế': case U'ề': out += 'e'; break;
        case U'ì': case U'í': case U'ī': case U'ǐ': out += 'i'; break;
        case U'ò': case U'ó': case U'ō': case U'ǒ': out += 'o'; break;
        case U'ù': case U'ú': case U'ū': case U'ǔ': out += 'u'; break;
        case U'ü': case U'ǘ': case U'ǚ': case U'ǜ': out += 'v'; break;
        case U'ń': case U'ň': case U'ǹ': out += 'n'; break;
        case U'ḿ': out += 'm'; break;
        default: break;   // combining tone marks
        }
    }
    return out;
}

} // namespace

int main()
{
    // Fields that give Mandarin readings: the modern dictionaries list every
    // reading of a polyphone in use today (行: háng and xíng). The great
    // dictionary's readings (kHanyuPinyin) add archaic ones, so they count
    // only for a character the others leave without a reading.
    const std::set<std::string> fields = {"kMandarin", "kHanyuPinyin", "kHanyuPinlu", "kTGHZ2013", "kXHC1983"};
    std::map<char32_t, std::vector<std::string>> readings;
    std::map<char32_t, std::vector<std::string>> archaic;
    std::string line;
    while (std::getline(std::cin, line)) {
        if (line.rfind("U+", 0) != 0)
            continue;
        const size_t tab1 = line.find('\t');
        const size_t tab2 = line.find('\t', tab1 + 1);
        if (tab1 == std::string::npos || tab2 == std::string::npos)
            continue;
        if (!fields.count(line.substr(tab1 + 1, tab2 - tab1 - 1)))
            continue;
        const char32_t cp = char32_t(std::stoul(line.substr(2, tab1 - 2), nullptr, 16));
        const bool great = line.compare(tab1 + 1, tab2 - tab1 - 1, "kHanyuPinyin") == 0;
        std::istringstream tokens(line.substr(tab2 + 1));
        std::string token;
        while (tokens >> token) {
            const size_t colon = token.rfind(':');
            if (colon != std::string::npos)
                token = token.substr(colon + 1);
            const size_t paren = token.find('(');
            if (paren != std::string::npos)
                token = token.substr(0, paren);
            std::istringstream parts(token);
            std::string part;
            while (std::getline(parts, part, ',')) {
                const std::string plain = toneless(part);
                if (plain.empty())
                    continue;
                std::vector<std::string> &known = great ? archaic[cp] : readings[cp];
                bool seen = false;
                for (const std::string &k : known)
                    seen = seen || k == plain;
                if (!seen)
                    known.push_back(plain);
            }
        }
    }
    for (const auto &[cp, list] : archaic)
        if (!readings.count(cp))
            readings[cp] = list;
    std::cout << "// Made at build time from the Unihan readings of the unicode-data package.\n"
                 "#include \"base/pinyintable.h\"\n\n"
                 "const PinyinTable::Entry PinyinTable::kEntries[] = {\n";
    for (const auto &[cp, list] : readings) {
        std::string joined;
        for (const std::string &r : list)
            joined += (joined.empty() ? "" : " ") + r;
        std::cout << "    {0x" << std::hex << unsigned(cp) << std::dec << ", \"" << joined << "\"},\n";
    }
    std::cout << "};\nconst std::size_t PinyinTable::kCount = " << readings.size() << ";\n";
    return readings.empty() ? 1 : 0;
}
