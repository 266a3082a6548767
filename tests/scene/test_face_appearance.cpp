// How the 3D view shows each face: the user's image over the default
// colour, a material's own image while textures are shown, the unfolded
// brown; and images of any size fitted to power-of-two sides for OpenGL.
#include "model/face_texture.h"
#include "scene/face_appearance.h"
#include "scene/texture_fit.h"
#include "support/model_builders.h"

#include <gtest/gtest.h>

using namespace nettor;
using namespace nettor::test;

TEST(FaceAppearance, EachFaceShowsTheImageItsMaterialBringsUnlessTheUserOpenedOne)
{
    auto model = buildModel(boxSpec());
    MeshObject& object = *model->objects.front();
    model->images.push_back(std::make_unique<TextureImage>());
    object.materials.resize(2);
    object.materials[0].imageIndex = 0; // textured
    object.materials[1].imageIndex = -1; // colour only
    Face& textured = *object.faces[0];
    Face& coloured = *object.faces[1];
    Face& bare = *object.faces[2];
    Face& outside = *object.faces[3];
    textured.materialIndex = 0;
    coloured.materialIndex = 1;
    outside.materialIndex = 9;

    for (bool finished : {false, true}) {
        const FaceAppearance t = modelFaceAppearance(*model, textured, true, finished);
        EXPECT_EQ(t.colour, FaceColour::Textured);
        EXPECT_EQ(t.texture, model->images[0].get());
        EXPECT_EQ(modelFaceAppearance(*model, textured, false, finished).colour, FaceColour::Material);
        EXPECT_EQ(modelFaceAppearance(*model, textured, false, finished).texture, nullptr);
        EXPECT_EQ(modelFaceAppearance(*model, coloured, true, finished).colour, FaceColour::Material);
        EXPECT_EQ(modelFaceAppearance(*model, bare, true, finished).texture, nullptr);
        EXPECT_EQ(modelFaceAppearance(*model, outside, true, finished).colour, FaceColour::Default);
    }
    textured.unfolded = 1;
    EXPECT_EQ(modelFaceAppearance(*model, textured, true, false).colour, FaceColour::Unfolded);
    EXPECT_EQ(modelFaceAppearance(*model, textured, true, true).colour, FaceColour::Textured);
    textured.unfolded = 0;

    // The user's image stands for every face while unfolding; once finished
    // only faces without a material take it.
    model->textureImage = std::make_unique<TextureImage>();
    const TextureImage* user = model->textureImage.get();
    for (const Face* f : {&textured, &coloured, &bare}) {
        EXPECT_EQ(modelFaceAppearance(*model, *f, true, false).texture, user);
        EXPECT_EQ(modelFaceAppearance(*model, *f, true, false).colour, FaceColour::Default);
        EXPECT_EQ(faceImage(*model, *f), user);
    }
    EXPECT_EQ(modelFaceAppearance(*model, bare, true, true).texture, user);
    EXPECT_EQ(modelFaceAppearance(*model, textured, true, true).colour, FaceColour::Material);
    EXPECT_EQ(modelFaceAppearance(*model, bare, false, false).texture, nullptr);
}

TEST(TextureFit, SidesGrowToAPowerOfTwoWithinTheLimitAndColoursStay)
{
    EXPECT_EQ(fittingTextureSide(300, 4096), 512);
    EXPECT_EQ(fittingTextureSide(256, 4096), 256);
    EXPECT_EQ(fittingTextureSide(1, 4096), 1);
    EXPECT_EQ(fittingTextureSide(9000, 4096), 4096);

    TextureImage image;
    image.width = 300;
    image.height = 3;
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 300; ++x) image.pixels.insert(image.pixels.end(), {std::uint8_t(x < 150 ? 250 : 0), 0, std::uint8_t(y * 100)});
    EXPECT_FALSE(textureFits(image, 4096));
    const TextureImage fitted = fitTextureImage(image, 4096);
    ASSERT_EQ(fitted.width, 512);
    ASSERT_EQ(fitted.height, 4);
    ASSERT_EQ(fitted.pixels.size(), 512u * 4u * 3u);
    EXPECT_TRUE(textureFits(fitted, 4096));
    // Left stays red, right stays black; the rows keep their order.
    EXPECT_EQ(fitted.pixels[(0 * 512 + 10) * 3], 250);
    EXPECT_EQ(fitted.pixels[(0 * 512 + 500) * 3], 0);
    EXPECT_LT(fitted.pixels[(0 * 512 + 10) * 3 + 2], fitted.pixels[(3 * 512 + 10) * 3 + 2]);
}
