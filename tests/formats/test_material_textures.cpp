// Textures that a model file's materials name: OBJ with its MTL libraries,
// MQO's tex(...), the folder and case rules for finding the files, the
// warning for an image that cannot be read, and the session showing a
// model's own images at once.
#include "formats/read_mtl.h"
#include "model/diagnostics.h"
#include "model/face_texture.h"
#include "session/commands.h"
#include "session/session.h"
#include "support/image_files.h"
#include "support/model_builders.h"
#include "support/recording_listener.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <sstream>

using namespace nettor;
using namespace nettor::test;

namespace {

Rgb8 redLeftBlueRight(int x, int) { return x < 150 ? Rgb8{255, 0, 0} : Rgb8{0, 0, 255}; }

// A folder of the test holding the files given by their relative paths.
std::string folderWith(const std::vector<std::pair<std::string, std::string>>& files)
{
    const std::string dir = std::filesystem::path(writeTempFile("marker", "")).parent_path().string();
    for (const auto& [name, bytes] : files) {
        const std::filesystem::path path = std::filesystem::path(dir) / name;
        std::filesystem::create_directories(path.parent_path());
        EXPECT_TRUE(writeFile(path.string(), bytes));
    }
    return dir;
}

// Three squares side by side, each with texture coordinates and its own "usemtl".
std::string threeSquaresObj(const std::string& mtllib, const std::string& names = "painted photo plain")
{
    std::istringstream materials(names);
    std::string text = "mtllib " + mtllib + "\n";
    for (int i = 0; i < 3; ++i) {
        text += "v " + std::to_string(2 * i) + " 0 0\nv " + std::to_string(2 * i + 1) + " 0 0\nv " +
                std::to_string(2 * i + 1) + " 1 0\nv " + std::to_string(2 * i) + " 1 0\n";
    }
    text += "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\n";
    for (int i = 0; i < 3; ++i) {
        std::string name;
        materials >> name;
        const int b = 4 * i;
        text += "usemtl " + name + "\nf " + std::to_string(b + 1) + "/1 " + std::to_string(b + 2) + "/2 " +
                std::to_string(b + 3) + "/3 " + std::to_string(b + 4) + "/4\n";
    }
    return text;
}

const std::string kLibrary = "newmtl painted\nKd 1 1 1\nmap_Kd sides.png\n"
                             "newmtl photo\nmap_Kd -s 1 1 1 photo.jpg\n"
                             "newmtl plain\nKd 0.9 0.8 0.2\n";

} // namespace

TEST(MaterialTextures, ObjWithPngJpegAndPlainMaterialHasTwoImagesAndThreeMaterials)
{
    const std::string dir = folderWith({{"cube.obj", threeSquaresObj("cube.mtl")},
                                        {"cube.mtl", kLibrary},
                                        {"sides.png", encodePng(300, 200, redLeftBlueRight)},
                                        {"photo.jpg", encodeJpeg(16, 8, [](int, int) { return Rgb8{0, 200, 0}; })}});
    Model model;
    ASSERT_TRUE(model.readObj(dir + "/cube.obj"));
    const MeshObject& object = *model.objects.front();
    ASSERT_EQ(object.materials.size(), 3u);
    ASSERT_EQ(model.images.size(), 2u);
    EXPECT_TRUE(model.readWarnings.empty());
    EXPECT_EQ(model.images[0]->width, 300);
    EXPECT_EQ(model.images[0]->height, 200);
    EXPECT_EQ(model.images[1]->width, 16);
    EXPECT_EQ(object.materials[1].textureName, "photo.jpg");
    EXPECT_EQ(object.materials[2].imageIndex, -1);
    EXPECT_FLOAT_EQ(object.materials[2].diffuse[1], 0.8f);
    // Each face shows its own material's image; the plain one none.
    ASSERT_EQ(object.faces.size(), 3u);
    EXPECT_EQ(faceImage(model, *object.faces[0]), model.images[0].get());
    EXPECT_EQ(faceImage(model, *object.faces[1]), model.images[1].get());
    EXPECT_EQ(faceImage(model, *object.faces[2]), nullptr);
    EXPECT_EQ(object.faces[2]->materialIndex, 2);
    // The geometry is read as without the library.
    Model bare;
    ASSERT_TRUE(bare.readObjText(threeSquaresObj("cube.mtl")));
    EXPECT_EQ(bare.objects.front()->faces.size(), 3u);
    EXPECT_TRUE(bare.objects.front()->materials.empty());
    EXPECT_EQ(bare.objects.front()->faces[0]->materialIndex, -1);
}

TEST(MaterialTextures, FilesAreFoundBesideTheirLibraryWithEitherSlashAndAnyCase)
{
    const std::string dir = folderWith(
        {{"model.obj", threeSquaresObj("Materials\\Model.MTL", "painted painted painted")},
         {"materials/model.mtl", "newmtl painted\nmap_Kd ..\\Textures\\SIDES.png\n"},
         {"textures/Sides.PNG", encodePng(4, 4, redLeftBlueRight)}});
    Model model;
    ASSERT_TRUE(model.readObj(dir + "/model.obj"));
    ASSERT_EQ(model.images.size(), 1u) << (model.readWarnings.empty() ? "" : model.readWarnings.front());
    EXPECT_EQ(model.objects.front()->materials.size(), 1u);
    for (const Face* f : model.objects.front()->faces) EXPECT_EQ(faceImage(model, *f), model.images[0].get());
}

TEST(MaterialTextures, AMissingOrDamagedImageWarnsAndLeavesItsFacesUntextured)
{
    std::string damaged = encodePng(8, 8, redLeftBlueRight);
    damaged.resize(damaged.size() / 2);
    const std::string dir = folderWith({{"m.obj", threeSquaresObj("m.mtl")},
                                        {"m.mtl", kLibrary},
                                        {"sides.png", damaged}});
    std::ostringstream err;
    DiagnosticsRedirect redirect(err);
    Model model;
    ASSERT_TRUE(model.readObj(dir + "/m.obj"));
    EXPECT_TRUE(model.images.empty());
    ASSERT_EQ(model.readWarnings.size(), 2u);
    EXPECT_NE(model.readWarnings[0].find("\"sides.png\""), std::string::npos) << model.readWarnings[0];
    EXPECT_NE(model.readWarnings[1].find("\"photo.jpg\" could not be read: the file is missing"), std::string::npos);
    EXPECT_NE(err.str().find(model.readWarnings[1]), std::string::npos);
    for (const Face* f : model.objects.front()->faces) EXPECT_EQ(faceImage(model, *f), nullptr);
}

TEST(MaterialTextures, MqoMaterialsTakeTheirTexImage)
{
    const std::string dir = folderWith(
        {{"tex.png", encodePng(2, 2, redLeftBlueRight)},
         {"m.mqo", "Metasequoia Document\nFormat Text Ver 1.0\n"
                   "Material 2 {\n\"a\" col(1 1 1 1) tex(\"Tex.png\")\n\"b\" col(0 1 0 1)\n}\n"
                   "Object \"o\" {\nvertex 4 {\n0 0 0\n1 0 0\n1 1 0\n0 1 0\n}\n"
                   "face 2 {\n3 V(0 1 2) M(0) UV(0 0 1 0 1 1)\n3 V(0 2 3) M(1)\n}\n}\nEof\n"}});
    Model model;
    ASSERT_TRUE(model.readMqo(dir + "/m.mqo"));
    ASSERT_EQ(model.images.size(), 1u);
    const MeshObject& object = *model.objects.front();
    EXPECT_EQ(object.materials[0].textureName, "Tex.png");
    EXPECT_EQ(faceImage(model, *object.faces[0]), model.images[0].get());
    EXPECT_EQ(faceImage(model, *object.faces[1]), nullptr);
}

TEST(MaterialTextures, MtlParsingReadsPastOptionsAndNeverFails)
{
    const auto m = parseMtl("# lib\nKd 1 0 0\nnewmtl a b\nKd 2 -1 nan\nmap_Kd -o 0.5 0.5 -clamp on my file.png\n"
                            "newmtl\nmap_Kd\n");
    ASSERT_EQ(m.size(), 2u);
    EXPECT_EQ(m[0].name, "a b");
    EXPECT_EQ(m[0].diffuseMap, "my file.png");
    EXPECT_FLOAT_EQ(m[0].diffuse[0], 1.0f); // clamped to 0 ... 1
    EXPECT_FLOAT_EQ(m[0].diffuse[1], 0.0f);
    EXPECT_TRUE(m[1].diffuseMap.empty());
    std::srand(3);
    for (int trial = 0; trial < 300; ++trial) {
        std::string junk;
        for (int i = 0; i < 60; ++i) junk += "newmtl Kd map_Kd -s -o 1 \n\t#"[std::size_t(std::rand()) % 28];
        parseMtl(junk);
    }
}

TEST(MaterialTextures, ASessionShowsTheModelsOwnImagesAtOnceAndReportsWarnings)
{
    const std::string dir = folderWith({{"cube.obj", threeSquaresObj("cube.mtl")},
                                        {"cube.mtl", kLibrary},
                                        {"sides.png", encodePng(300, 200, redLeftBlueRight)}});
    std::ostringstream err;
    DiagnosticsRedirect redirect(err);
    RecordingListener ui;
    Session session;
    session.listener = &ui;
    ASSERT_TRUE(session.openModel(dir + "/cube.obj"));
    EXPECT_TRUE(session.showTexture);
    EXPECT_TRUE(commandState(Command::DisplayTexture, session).enabled);
    EXPECT_TRUE(commandState(Command::DisplayTexture, session).checked);
    ASSERT_EQ(ui.statusMessages.size(), 1u);
    EXPECT_NE(ui.statusMessages[0].find("photo.jpg"), std::string::npos);

    // A model without images of its own turns the texture off again.
    ASSERT_TRUE(session.openModel(writeTempFile("plain.obj", toObjText(boxSpec()))));
    EXPECT_FALSE(session.showTexture);
    EXPECT_FALSE(commandState(Command::DisplayTexture, session).enabled);
    EXPECT_EQ(ui.statusMessages.size(), 1u);
}

TEST(MaterialTextures, OpenTextureTakesOtherFormatsOfAnySizeAndExplainsAFailure)
{
    RecordingListener ui;
    Session session;
    session.listener = &ui;
    ASSERT_TRUE(session.openModel(writeTempFile("box.obj", toObjText(boxSpec()))));
    ASSERT_TRUE(session.openTexture(writeTempFile("odd.png", encodePng(300, 200, redLeftBlueRight))));
    ASSERT_TRUE(session.model->textureImage);
    EXPECT_EQ(session.model->textureImage->width, 300);
    EXPECT_TRUE(session.showTexture);
    EXPECT_TRUE(ui.messages.empty());

    EXPECT_FALSE(session.openTexture(writeTempFile("broken.jpg", "not a picture")));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.messages[0].find("could not be read"), std::string::npos);
    EXPECT_EQ(session.model->textureImage->width, 300); // the image before stays
}

namespace {

std::string le16Bytes(std::uint32_t v) { return {char(v & 0xFF), char((v >> 8) & 0xFF)}; }
std::string le32Bytes(std::uint32_t v) { return le16Bytes(v & 0xFFFF) + le16Bytes(v >> 16); }
std::string floatBytes(float f)
{
    std::uint32_t bits;
    std::memcpy(&bits, &f, 4);
    return le32Bytes(bits);
}
std::string chunk3ds(std::uint16_t id, const std::string& payload)
{
    return le16Bytes(id) + le32Bytes(std::uint32_t(6 + payload.size())) + payload;
}

} // namespace

TEST(MaterialTextures, A3dsMaterialGroupGivesItsFacesTheMaterialsMap)
{
    const std::string material =
        chunk3ds(0xAFFF, chunk3ds(0xA000, std::string("brick\0", 6)) +
                             chunk3ds(0xA020, chunk3ds(0x0011, std::string("\xff\x80\x00", 3))) +
                             chunk3ds(0xA200, chunk3ds(0xA300, std::string("BRICK.PNG\0", 10))));
    std::string vertices = le16Bytes(4);
    for (float v : {0.f, 0.f, 0.f, 1.f, 0.f, 0.f, 1.f, 1.f, 0.f, 0.f, 1.f, 0.f}) vertices += floatBytes(v);
    const std::string groups = chunk3ds(0x4130, std::string("brick\0", 6) + le16Bytes(1) + le16Bytes(1));
    const std::string faces = le16Bytes(2) + le16Bytes(0) + le16Bytes(1) + le16Bytes(2) + le16Bytes(7) +
                              le16Bytes(0) + le16Bytes(2) + le16Bytes(3) + le16Bytes(7) + groups;
    const std::string mesh = chunk3ds(0x4100, chunk3ds(0x4110, vertices) + chunk3ds(0x4120, faces));
    const std::string editor = chunk3ds(0x3D3E, le32Bytes(3)) + material + chunk3ds(0x4000, std::string("sq\0", 3) + mesh);
    const std::string bytes = chunk3ds(0x4D4D, chunk3ds(0x0002, le32Bytes(3)) + chunk3ds(0x3D3D, editor));
    const std::string dir = folderWith({{"sq.3ds", bytes}, {"brick.png", encodePng(3, 3, redLeftBlueRight)}});

    Model model;
    ASSERT_TRUE(model.read3ds(dir + "/sq.3ds"));
    const MeshObject& object = *model.objects.front();
    ASSERT_EQ(object.faces.size(), 2u);
    ASSERT_EQ(object.materials.size(), 1u);
    EXPECT_EQ(object.materials[0].name, "brick");
    EXPECT_FLOAT_EQ(object.materials[0].diffuse[0], 1.0f);
    EXPECT_EQ(object.faces[0]->materialIndex, -1);
    EXPECT_EQ(object.faces[1]->materialIndex, 0);
    ASSERT_EQ(model.images.size(), 1u);
    EXPECT_EQ(faceImage(model, *object.faces[1]), model.images[0].get());
}
