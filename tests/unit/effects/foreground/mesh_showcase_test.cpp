#include "effects/mesh_showcase.h"
#include "random_sequence.h"
#include "showcase_files.h"

#include <gtest/gtest.h>
#include <memory>

namespace {

// Told apart by their sub-mesh counts: one, two and three cubes.
std::array<AmlModel, 3> distinctModels() {
    return {AmlModel{cubeMesh(0, 0, 0, 1)}, AmlModel{cubeMesh(0, 0, 0, 1), cubeMesh(3, 0, 0, 1)},
            AmlModel{cubeMesh(0, 0, 0, 1), cubeMesh(3, 0, 0, 1), cubeMesh(0, 3, 0, 1)}};
}

class MeshShowcaseTest : public ::testing::Test {
protected:
    ShowcaseDirectory files{distinctModels()};
};

TEST_F(MeshShowcaseTest, ConstructionLoadsTheModelsInTableOrderAndDrawsTheIndexLast) {
    const RandomSequence sequence(515);
    const auto showcase = std::make_unique<MeshShowcase>();
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(showcase->models[i].subMeshCount, static_cast<std::int32_t>(i + 1));
        EXPECT_EQ(showcase->models[i].subMeshes[0].triangleCount, 12);
    }
    EXPECT_EQ(showcase->modelIndex, sequence[0] % 3);
    EXPECT_EQ(sequence.drawsMade(), 1u);
    EXPECT_FLOAT_EQ(showcase->lastTime, -3.0f);
    EXPECT_FLOAT_EQ(showcase->camera.fieldOfView, 90.0f);
    EXPECT_EQ(
        (std::array{showcase->camera.eye[0], showcase->camera.eye[1], showcase->camera.eye[2]}),
        (std::array{0.0f, 0.0f, 100.0f}));
    EXPECT_EQ((std::array{showcase->camera.target[0], showcase->camera.target[1],
                          showcase->camera.target[2]}),
              (std::array{0.0f, 0.0f, 0.0f}));
}

TEST_F(MeshShowcaseTest, FirstSelectionAfterConstructionChoosesForAnyTimeAboveZero) {
    const RandomSequence sequence(3);
    auto showcase = std::make_unique<MeshShowcase>();
    showcase->selectModel(20.0f);
    EXPECT_EQ(showcase->modelIndex, sequence[1] % 3);
    EXPECT_FLOAT_EQ(showcase->lastTime, 20.0f);
    EXPECT_EQ(sequence.drawsMade(), 2u);

    // -3.0 + 3.0 is not below 0: a first call at exactly 0 keeps the construction's choice.
    sequence.reseed();
    showcase = std::make_unique<MeshShowcase>();
    showcase->selectModel(0.0f);
    EXPECT_EQ(showcase->modelIndex, sequence[0] % 3);
    EXPECT_EQ(sequence.drawsMade(), 1u);
}

TEST_F(MeshShowcaseTest, ReselectionNeedsMoreThanThreeSecondsAway) {
    auto showcase = std::make_unique<MeshShowcase>();
    showcase->selectModel(20.0f);

    const RandomSequence sequence(1001);
    showcase->selectModel(20.0f + 1.0f / 60.0f);
    EXPECT_EQ(sequence.drawsMade(), 0u);

    sequence.reseed();
    showcase->selectModel(20.0f);
    showcase->selectModel(23.0f);
    EXPECT_EQ(sequence.drawsMade(), 0u) << "exactly 3.0 s apart must keep the model";

    sequence.reseed();
    showcase->selectModel(26.5f);
    EXPECT_EQ(showcase->modelIndex, sequence[0] % 3);
    EXPECT_FLOAT_EQ(showcase->lastTime, 26.5f);
    EXPECT_EQ(sequence.drawsMade(), 1u);
}

// Every file is opened before any is read: a missing second file is reported even though the
// first is not a mesh at all.
TEST(MeshShowcaseDeathTest, MissingFileEndsTheProcessBeforeAnyModelIsRead) {
    ShowcaseDirectory files(
        {AmlModel{cubeMesh(0, 0, 0, 1)}, AmlModel{}, AmlModel{cubeMesh(0, 0, 0, 1)}});
    const std::vector<std::uint8_t> notAMesh = {0xff, 0xff, 0xff, 0x7f, 1, 2};
    writeBytes(files.dataFile("data/teolisuus.AML"), notAMesh);
    EXPECT_EXIT(MeshShowcase(), ::testing::ExitedWithCode(1),
                "^File data/enkelit.AML not found!\n$");
}

TEST(MeshShowcaseDeathTest, MissingLastFileIsReportedByName) {
    ShowcaseDirectory files(
        {AmlModel{cubeMesh(0, 0, 0, 1)}, AmlModel{cubeMesh(0, 0, 0, 1)}, AmlModel{}});
    EXPECT_EXIT(MeshShowcase(), ::testing::ExitedWithCode(1),
                "^File data/reaktori.AML not found!\n$");
}

} // namespace
