#include "formats/cut_edge_file.h"

#include "formats/assimp_import.h"
#include "formats/load_model.h"
#include "model/diagnostics.h"
#include "formats/number_text.h"
#include "formats/text_file.h"
#include "state/engine_state.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <string_view>
#include <vector>

namespace nettor {

namespace {

bool listedAsCut(EdgeState state)
{
    return state == EdgeState::Cut || state == EdgeState::Blocked || state == EdgeState::MarkedCut;
}

// Splits off the next line (without its end, "\n" or "\r\n"); at is moved
// past it.
std::optional<std::string_view> nextLine(std::string_view text, std::size_t& at)
{
    if (at >= text.size()) return std::nullopt;
    std::size_t end = text.find('\n', at);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(at, end - at);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    at = end + 1;
    return line;
}

// The folder of the cut-edge file with its trailing separator, or empty.
std::string folderOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string withSlashes(std::string path)
{
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

std::string resolveModelPath(const std::string& cutEdgePath, const std::string& written)
{
    if (!written.empty() && written.front() == '.')
        return withSlashes(folderOf(cutEdgePath) + written);
    // A full path written on Windows: use it as it stands when it names a
    // file, else with its separators turned.
    if (written.find('\\') != std::string::npos && !fileIsReadable(written))
        return withSlashes(written);
    return written;
}

// Reads the model file with the reader its last three characters name,
// ignoring case: "rok", "dxf", "obj", "mqo" or "3ds"; failing those, through
// Assimp when its extension is one Assimp reads. False for any other ending
// and when the reader refuses the file.
bool readNamedModel(Model& model, const std::string& path)
{
    if (path.size() < 3) return false;
    std::string ending = path.substr(path.size() - 3);
    for (char& c : ending) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (ending == "rok") return model.readRok(path);
    if (ending == "dxf") return model.readDxf(path);
    if (ending == "obj") return model.readObj(path);
    if (ending == "mqo") return model.readMqo(path);
    if (ending == "3ds") return model.read3ds(path);
    return isImportedExtension(lowerExtension(path)) && importModel(model, path);
}

} // namespace

int markListedEdges(Model& model, std::string_view text, const std::string& source)
{
    std::vector<Edge*> edges;
    for (auto& object : model.objects) edges.insert(edges.end(), object->edges.begin(), object->edges.end());
    int ignored = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
        const std::size_t start = i;
        while (i < text.size() && !std::isspace(static_cast<unsigned char>(text[i]))) ++i;
        if (start == i) break;
        const std::int64_t index = leadingInteger(text.substr(start, i - start));
        if (index < 0 || static_cast<std::uint64_t>(index) >= edges.size()) {
            diagnostics() << "Warning: edge index " << index << " in " << source
                          << " is outside the model's " << edges.size() << " edges; ignored.\n";
            ++ignored;
            continue;
        }
        edges[static_cast<std::size_t>(index)]->state = EdgeState::MarkedCut;
    }
    return ignored;
}

void writeCutEdgeFile(const Model& model, std::ostream& out, const std::string& relativeModelPath)
{
    out << "#Nettor Cut Edge Info\n"
        << "# v1.1\n\n"
        << (relativeModelPath.empty() ? model.filePath : relativeModelPath) << "\n";
    long long index = 0;
    for (const auto& object : model.objects)
        for (const Edge* e : object->edges) {
            if (listedAsCut(e->state)) out << index << "\n";
            ++index;
        }
}

bool readCutEdgeFile(const std::string& path, Model& model, UiListener* reporter)
{
    const std::optional<std::string> contents = readWholeFile(path);
    if (!contents) {
        tell(reporter, "This file could not be read.");
        return false;
    }
    const std::string_view text = *contents;

    // The model path is the second line that does not begin with "#" (the
    // first is the empty line after the header); a file that ends before
    // gives the last line read.
    std::size_t at = 0;
    std::string written;
    int plainLines = 0;
    while (auto line = nextLine(text, at)) {
        written = std::string(*line);
        if (!line->empty() && line->front() == '#') continue;
        if (++plainLines == 2) break;
    }
    const std::string modelPath = resolveModelPath(path, written);

    if (!readNamedModel(model, modelPath)) {
        tell(reporter, "Can't open the file specified in this NTE file.");
        return false;
    }

    markListedEdges(model, at < text.size() ? text.substr(at) : std::string_view(), path);
    model.filePath = modelPath;
    return true;
}

} // namespace nettor
