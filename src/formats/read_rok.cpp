// HexaGreat3D ROK reader: points, lines between points, faces given as
// closed chains of lines, and a colour palette. The line chains become corner
// sequences, the faces of each connected group are oriented alike (see
// face_orientation.h), and the palette becomes the object's materials.
//
// The end of the file inside a line, face or palette record, or right after
// "PALC0", refuses the file; a point record cut short only ends the points.
// Refusals beyond the format's own rules: a face naming a line outside the
// line records, a line naming a point outside the point records, and a point
// coordinate that is not a finite number. A face record with fewer than three
// lines adds no face: the model drops such faces with a warning.
#include "formats/face_orientation.h"
#include "model/mesh.h"
#include "formats/number_text.h"
#include "formats/text_file.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

namespace nettor {

namespace {

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

class WordScanner {
public:
    explicit WordScanner(std::string_view text) : text_(text) {}

    // Next word; false at the end of the text.
    bool next(std::string_view& word)
    {
        while (pos_ < text_.size() && isSpace(text_[pos_])) ++pos_;
        if (pos_ >= text_.size()) return false;
        const std::size_t begin = pos_;
        while (pos_ < text_.size() && !isSpace(text_[pos_])) ++pos_;
        word = text_.substr(begin, pos_ - begin);
        return true;
    }

    // Takes n words into out (up to 8); false when the text ends first.
    bool take(std::string_view* out, int n)
    {
        for (int i = 0; i < n; ++i) {
            if (!next(out[i])) return false;
        }
        return true;
    }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

// Palette value: the file's integer 0 ... 255 as a colour component.
float component(std::string_view word) { return static_cast<float>(leadingInteger(word)) / 255.0f; }

class RokReader {
public:
    RokReader(Model& model, std::string_view text) : model_(model), object_(*model.addObject()), words_(text) {}

    bool run()
    {
        std::string_view w;
        bool more = true;
        // Everything up to and including the first "POINT".
        do {
            more = words_.next(w);
        } while (more && w != "POINT");

        // The end of the text between records ends the current list; the
        // later lists are then empty.
        if (more) more = readPoints();
        if (more) more = readLines();
        if (more) more = readFaces();
        if (more) readPalette();
        if (!ok_) return false;

        // Material numbers that name no palette entry mean none.
        const auto materialCount = static_cast<std::int64_t>(object_.materials.size());
        for (Face* f : object_.faces) {
            if (f->materialIndex < 0 || f->materialIndex >= materialCount) f->materialIndex = -1;
        }
        orientConnectedFaces(object_);
        model_.buildAllEdges();
        model_.invertFaces();
        return true;
    }

private:
    // Each returns false when the text has ended; ok_ is cleared on a
    // refusal.
    bool readPoints()
    {
        std::string_view w;
        while (words_.next(w)) {
            if (w != "LINE0") return true; // ends the list and is dropped
            std::string_view f[7];
            // A point cut short by the end of the text ends the list like the
            // end between records; the partial point gives no vertex.
            if (!words_.take(f, 7)) return false;
            const double x = leadingDouble(f[4]);
            const double y = leadingDouble(f[5]);
            const double z = leadingDouble(f[6]);
            if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(z)) return fail();
            object_.addVertex(x, -y, -z, pointNumber_++);
        }
        return false;
    }

    bool readLines()
    {
        std::string_view w;
        while (words_.next(w)) {
            if (w == "FACE0") return true;
            std::string_view f[3];
            if (!words_.take(f, 3)) return fail();
            lineFirst_.push_back(leadingInteger(w));
            lineSecond_.push_back(leadingInteger(f[0]));
        }
        return false;
    }

    bool validPoint(std::int64_t p) const
    {
        return p >= 1 && p <= static_cast<std::int64_t>(object_.vertices.size());
    }

    bool readFaces()
    {
        std::string_view w;
        while (words_.next(w)) {
            if (w == "END00") return true;
            std::string_view f[2];
            if (!words_.take(f, 2)) return fail();
            const std::int64_t n = leadingInteger(w);
            const std::int64_t material = leadingInteger(f[0]);

            Face& face = *object_.addFace();
            face.materialIndex = material >= 0 && material <= std::numeric_limits<std::int32_t>::max() ? static_cast<std::int32_t>(material) : -1;
            std::int64_t prev = 0, other = 0;
            for (std::int64_t i = 0; i < n; ++i) {
                std::string_view word;
                if (!words_.next(word)) return fail();
                const std::int64_t line = leadingInteger(word);
                if (line < 1 || line > static_cast<std::int64_t>(lineFirst_.size())) return fail();
                const std::int64_t a = lineFirst_[static_cast<std::size_t>(line - 1)];
                const std::int64_t b = lineSecond_[static_cast<std::size_t>(line - 1)];
                std::int64_t corner;
                if (i == 0) {
                    corner = a; prev = a; other = b;
                } else if (a == prev) {
                    corner = b; prev = b; other = b;
                } else if (b == prev) {
                    corner = a; prev = a; other = a;
                } else {
                    corner = other; prev = other; other = other == a ? b : a;
                }
                if (!validPoint(corner)) return fail();
                face.addCorner(object_.vertices[static_cast<std::size_t>(corner - 1)]);
            }
            face.finishFace(); // drops a face of fewer than three corners
        }
        return false;
    }

    void readPalette()
    {
        std::string_view w;
        while (words_.next(w)) {
            if (w != "PALC0") continue;
            std::string_view countWord;
            if (!words_.next(countWord)) {
                fail();
                return;
            }
            const std::int64_t count = leadingInteger(countWord);
            for (std::int64_t i = 0; i < count; ++i) {
                std::string_view e[7];
                if (!words_.take(e, 7)) {
                    fail();
                    return;
                }
                Material m;
                m.ambient[0] = component(e[1]);
                m.ambient[1] = component(e[2]);
                m.ambient[2] = component(e[3]);
                m.ambient[3] = 1.0f;
                m.diffuse[0] = component(e[4]);
                m.diffuse[1] = component(e[5]);
                m.diffuse[2] = component(e[6]);
                m.diffuse[3] = 1.0f;
                for (int c = 0; c < 3; ++c) m.emission[c] = m.specular[c] = 0.0f;
                m.emission[3] = m.specular[3] = 1.0f;
                m.shininess = 0.0f;
                object_.materials.push_back(m);
            }
        }
    }

    bool fail()
    {
        ok_ = false;
        return false;
    }

    Model& model_;
    MeshObject& object_;
    WordScanner words_;
    std::int32_t pointNumber_ = 1;
    std::vector<std::int64_t> lineFirst_;
    std::vector<std::int64_t> lineSecond_;
    bool ok_ = true;
};

} // namespace

bool Model::readRok(const std::string& path)
{
    auto text = readWholeFile(path);
    if (!text) return false;
    return readRokText(*text);
}

bool Model::readRokText(std::string_view text)
{
    return RokReader(*this, text).run();
}

} // namespace nettor
