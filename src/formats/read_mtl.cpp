#include "formats/read_mtl.h"

#include "formats/number_text.h"

#include <cmath>

namespace nettor {

namespace {

bool mtlSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

std::vector<std::string_view> mtlWords(std::string_view line)
{
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && mtlSpace(line[i])) ++i;
        const std::size_t begin = i;
        while (i < line.size() && !mtlSpace(line[i])) ++i;
        if (i > begin) words.push_back(line.substr(begin, i - begin));
    }
    return words;
}

// How many values a texture option takes at most (numbers or on/off).
std::size_t optionValues(std::string_view option)
{
    if (option == "-o" || option == "-s" || option == "-t") return 3;
    if (option == "-mm") return 2;
    return 1; // -blendu, -blendv, -bm, -boost, -cc, -clamp, -imfchan, -texres
}

bool isDigitOrPoint(char c) { return (c >= '0' && c <= '9') || c == '.'; }

// "on", "off" or a number.
bool isOptionValue(std::string_view word)
{
    if (word == "on" || word == "off") return true;
    if (word.empty()) return false;
    if (word[0] == '-' || word[0] == '+') return word.size() > 1 && isDigitOrPoint(word[1]);
    return isDigitOrPoint(word[0]);
}

// The file name after a map statement's options: the remaining words,
// joined by single spaces (file names may hold spaces).
std::string mapFileName(const std::vector<std::string_view>& words)
{
    std::size_t i = 1;
    while (i < words.size() && words[i].size() > 1 && words[i][0] == '-' && !isOptionValue(words[i])) {
        const std::size_t most = optionValues(words[i]);
        ++i;
        for (std::size_t k = 0; k < most && i + 1 < words.size() && isOptionValue(words[i]); ++k) ++i;
    }
    std::string name;
    for (; i < words.size(); ++i) {
        if (!name.empty()) name += ' ';
        name.append(words[i]);
    }
    return name;
}

std::string restAfterKeyword(const std::vector<std::string_view>& words)
{
    std::string rest;
    for (std::size_t i = 1; i < words.size(); ++i) {
        if (!rest.empty()) rest += ' ';
        rest.append(words[i]);
    }
    return rest;
}

} // namespace

std::vector<MtlMaterial> parseMtl(std::string_view text)
{
    std::vector<MtlMaterial> materials;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        const std::vector<std::string_view> words = mtlWords(text.substr(pos, end - pos));
        pos = end + 1;
        if (words.empty() || words[0][0] == '#') continue;
        if (words[0] == "newmtl") {
            materials.emplace_back();
            materials.back().name = restAfterKeyword(words);
        } else if (materials.empty()) {
            continue;
        } else if (words[0] == "Kd" && words.size() >= 4) {
            MtlMaterial& m = materials.back();
            for (int c = 0; c < 3; ++c) {
                const double v = leadingDouble(words[static_cast<std::size_t>(c) + 1]);
                m.diffuse[c] = std::isfinite(v) ? static_cast<float>(std::fmin(1.0, std::fmax(0.0, v))) : 0.0f;
            }
            m.hasDiffuse = true;
        } else if (words[0] == "map_Kd") {
            materials.back().diffuseMap = mapFileName(words);
        }
    }
    return materials;
}

} // namespace nettor
