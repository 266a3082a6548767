// Wavefront OBJ reader: vertex positions, texture coordinates and polygonal
// faces; everything else is skipped. The whole file becomes one object.
//
// Lines of any length are read in full, and vertices may follow faces (as
// exporters write one object after another): an index then addresses the
// vertices read so far.
#include "model/mesh.h"
#include "formats/material_images.h"
#include "formats/number_text.h"
#include "formats/obj_materials.h"
#include "formats/reading_cancel.h"
#include "formats/text_file.h"

#include <algorithm>
#include <cmath>
#include <string_view>

namespace nettor {

namespace {

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

class ObjScanner {
public:
    explicit ObjScanner(std::string_view text) : text_(text) {}

    // Next white-space separated token, possibly on a later line; empty at the end.
    std::string_view token()
    {
        while (pos_ < text_.size() && isSpace(text_[pos_])) ++pos_;
        const std::size_t begin = pos_;
        while (pos_ < text_.size() && !isSpace(text_[pos_])) ++pos_;
        return text_.substr(begin, pos_ - begin);
    }

    // The rest of the current line, without its line end, which is consumed.
    std::string_view restOfLine()
    {
        const std::size_t begin = pos_;
        while (pos_ < text_.size() && text_[pos_] != '\n') ++pos_;
        std::string_view line = text_.substr(begin, pos_ - begin);
        if (pos_ < text_.size()) ++pos_;
        return line;
    }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

// Splits a line into white-space separated tokens.
class Words {
public:
    explicit Words(std::string_view line) : line_(line) {}
    bool next(std::string_view& word)
    {
        while (pos_ < line_.size() && isSpace(line_[pos_])) ++pos_;
        if (pos_ >= line_.size()) return false;
        const std::size_t begin = pos_;
        while (pos_ < line_.size() && !isSpace(line_[pos_])) ++pos_;
        word = line_.substr(begin, pos_ - begin);
        return true;
    }

private:
    std::string_view line_;
    std::size_t pos_ = 0;
};

// Takes `count` numbers from the line; false when fewer are there or one is
// not finite.
bool takeNumbers(std::string_view line, double* out, int count)
{
    Words words(line);
    std::string_view w;
    for (int i = 0; i < count; ++i) {
        if (!words.next(w)) return false;
        out[i] = leadingDouble(w);
        if (!std::isfinite(out[i])) return false;
    }
    return true;
}

bool readFaceCorners(Model& model, MeshObject& object, Face& face, std::string_view line)
{
    Words words(line);
    std::string_view w;
    const std::int64_t vertexCount = static_cast<std::int64_t>(object.vertices.size());
    const std::int64_t texCount = static_cast<std::int64_t>(object.texCoords.size());
    while (words.next(w)) {
        std::int64_t vertexIndex = leadingInteger(w);
        std::int64_t texIndex = -1;
        const std::size_t slash = w.find('/');
        if (slash != std::string_view::npos) {
            const std::size_t second = w.find('/', slash + 1);
            if (second == std::string_view::npos || second > slash + 1) {
                texIndex = leadingInteger(w.substr(slash + 1));
                model.hasTexCoords = true;
            }
        }
        if (vertexIndex < 0) vertexIndex += vertexCount + 1;
        if (vertexIndex < 1 || vertexIndex > vertexCount) return false;
        TexCoord* tex = nullptr;
        if (texIndex != -1) {
            if (texIndex < 1 || texIndex > texCount) return false;
            tex = object.texCoords[static_cast<std::size_t>(texIndex - 1)];
        }
        face.addCorner(object.vertices[static_cast<std::size_t>(vertexIndex - 1)], tex);
    }
    return true;
}

std::string trimmedObjLine(std::string_view line)
{
    std::size_t b = 0, e = line.size();
    while (b < e && isSpace(line[b])) ++b;
    while (e > b && isSpace(line[e - 1])) --e;
    return std::string(line.substr(b, e - b));
}

bool readObjInto(Model& model, const std::string& text, ObjMaterialUse* use)
{
    MeshObject& object = *model.addObject();
    std::int32_t material = -1; // the "usemtl" in force, into use->names
    ObjScanner scan(text);
    std::int32_t vertexNumber = 1;
    CancelCheck cancelled;

    for (std::string_view t = scan.token(); !t.empty(); t = scan.token()) {
        if (cancelled()) return false;
        if (t[0] == '#') {
            scan.restOfLine();
        } else if (t == "v") {
            double p[3];
            if (!takeNumbers(scan.restOfLine(), p, 3)) return false;
            object.addVertex(p[0], p[1], p[2], vertexNumber++);
        } else if (t == "vt") {
            double uv[2];
            if (!takeNumbers(scan.restOfLine(), uv, 2)) return false;
            object.addTexCoord(uv[0], uv[1]);
        } else if (t == "f" || t == "fo") {
            Face& face = *object.addFace();
            std::string_view line = scan.restOfLine();
            Words first(line);
            std::string_view w;
            if (first.next(w) && w == "\\") line = scan.restOfLine();
            if (!readFaceCorners(model, object, face, line)) return false;
            if (face.finishFace() && use && material >= 0) use->faces.emplace_back(&face, material);
        } else if (use && t == "usemtl") {
            const std::string name = trimmedObjLine(scan.restOfLine());
            const auto found = std::find(use->names.begin(), use->names.end(), name);
            material = static_cast<std::int32_t>(found - use->names.begin());
            if (found == use->names.end()) use->names.push_back(name);
        } else if (use && t == "mtllib") {
            const std::string name = trimmedObjLine(scan.restOfLine());
            if (!name.empty()) use->libraries.push_back(name);
        } else {
            scan.restOfLine();
        }
    }
    if (readingCancelled()) return false;
    model.buildAllEdges();
    return true;
}

} // namespace

bool readObjTextNotingMaterials(Model& model, const std::string& text, ObjMaterialUse& use)
{
    return readObjInto(model, text, &use);
}

bool Model::readObj(const std::string& path)
{
    auto text = readWholeFile(path);
    if (!text) return false;
    ObjMaterialUse use;
    if (!readObjInto(*this, *text, &use)) return false;
    applyObjMaterials(*this, use, containingFolder(path));
    return true;
}

bool Model::readObjText(const std::string& text)
{
    return readObjInto(*this, text, nullptr);
}

} // namespace nettor
