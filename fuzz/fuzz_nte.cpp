// Fuzz target: the cut-edge reader. It reads from a path, so each input is
// written to a file in a folder of this process's own, next to one small
// model of every format (m.obj, m.dxf, m.rok, m.mqo, m.3ds) that relative
// model paths can name.
#include "fuzz_checks.h"
#include "formats/cut_edge_file.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

const char kCubeObj[] =
    "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nv 0 0 1\nv 1 0 1\nv 1 1 1\nv 0 1 1\n"
    "f 1 4 3 2\nf 5 6 7 8\nf 1 2 6 5\nf 2 3 7 6\nf 3 4 8 7\nf 4 1 5 8\n";
const char kTriangleDxf[] =
    "0\n3DFACE\n10\n0\n20\n0\n30\n0\n11\n1\n21\n0\n31\n0\n12\n0\n22\n1\n32\n0\n0\n"
    "3DFACE\n10\n1\n20\n0\n30\n0\n11\n1\n21\n1\n31\n0\n12\n0\n22\n1\n32\n0\n0\nEOF\n";
const char kSquareRok[] =
    "POINT LINE0 a b c d 0 0 0 LINE0 a b c d 1 0 0 LINE0 a b c d 1 1 0 LINE0 a b c d 0 1 0 X "
    "1 2 0 0 2 3 0 0 3 4 0 0 4 1 0 0 1 3 0 0 FACE0 3 0 0 1 2 5 3 0 0 3 4 5 END00\n";
const char kSquareMqo[] =
    "Metasequoia Document\nFormat Text Ver 1.0\nObject \"o\" {\nvertex 4 {\n0 0 0\n1 0 0\n1 1 0\n0 1 0\n}\n"
    "face 2 {\n3 V(0 1 2)\n3 V(0 2 3)\n}\n}\n";

std::string folder()
{
    static const std::string dir = [] {
        const auto d = std::filesystem::temp_directory_path() / ("nettor-fuzz-nte-" + std::to_string(::getpid()));
        std::filesystem::create_directories(d);
        auto put = [&](const char* name, const std::string& text) {
            std::ofstream((d / name).string(), std::ios::binary) << text;
        };
        put("m.obj", kCubeObj);
        put("m.dxf", kTriangleDxf);
        put("m.rok", kSquareRok);
        put("m.mqo", kSquareMqo);
        // A one-triangle 3DS file.
        std::string tri = std::string("\x4d\x4d\x00\x00\x00\x00\x02\x00\x0a\x00\x00\x00\x03\x00\x00\x00"
                                      "\x3d\x3d\x00\x00\x00\x00\x3e\x3d\x0a\x00\x00\x00\x03\x00\x00\x00", 32);
        const std::string mesh = std::string("\x00\x41\x00\x00\x00\x00", 6) +
                                 std::string("\x10\x41\x2c\x00\x00\x00\x03\x00", 8) + std::string(36, '\0') +
                                 std::string("\x20\x41\x10\x00\x00\x00\x01\x00\x00\x00\x01\x00\x02\x00\x00\x00", 16);
        std::string object = std::string("\x00\x40\x00\x00\x00\x00t\0", 8) + mesh;
        auto setLength = [](std::string& s, std::size_t at, std::size_t length) {
            for (int i = 0; i < 4; ++i) s[at + i] = static_cast<char>((length >> (8 * i)) & 0xFF);
        };
        setLength(object, 8 + 2, mesh.size());
        setLength(object, 2, object.size());
        tri += object;
        setLength(tri, 16 + 2, tri.size() - 16);
        setLength(tri, 2, tri.size());
        put("m.3ds", tri);
        static const std::filesystem::path removeAtExit = d;
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(removeAtExit, ignored);
        });
        return d.string();
    }();
    return dir;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    nettor::fuzz::silenceDiagnostics();
    const std::string path = folder() + "/input.nte";
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    nettor::Model model;
    if (nettor::readCutEdgeFile(path, model, nullptr)) nettor::fuzz::checkModel(model);
    return 0;
}
