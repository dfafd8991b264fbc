#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "FireFixture.h"
#include "LogCapture.h"
#include "core/ConfigManager.h"
#include "game/Torch.h"
#include "physics/PhysicsFluid.h"
#include "render/LightManager.h"

namespace {

const char* const kTorchSections = R"(
[torchEmitter1]
minRate = 50
maxParticleLifetime = 0.9
maxParticles = 300

[torchEmitter2]
minRate = 30
maxParticleLifetime = 0.5
maxParticles = 150

[fluid1]
gravity = false
maxParticles = 300

[fluid2]
gravity = false
maxParticles = 150
)";

class TorchTest : public FireTest {
protected:
    void SetUp() override {
        FireTest::SetUp();
        writeConfiguration(std::string(kConfiguration) + kTorchSections);
        data->write("levels/hall/hall.ini", "[TorchSettings]\noffsetX = 0.5\noffsetY = 2.8\n"
                                            "[torch1]\nradius = 35\n[torch7]\nradius = 40\n");
        data->write("levels/empty.ini", "");
        PhysicsShapeDesc stand;
        stand.dimensions = {0.5f, 1.3f, 0.5f};
        PhysicsActorDesc desc;
        desc.shapes.push_back(stand);
        desc.globalPose.position = {5.0f, 1.3f, -2.0f};
        model.actor = scene->createActor(desc);
        *model.position = {5.0f, 1.3f, -2.0f};
    }

    std::unique_ptr<Torch> makeTorch(const std::string& name,
                                     const char* settings = "../levels/hall/hall.ini") {
        return std::make_unique<Torch>(model, *ConfigManager::getInstance()->getConfig(settings), name);
    }

    OgreModel model;
};

} // namespace

TEST_F(TorchTest, TheLastCharacterOfTheNameNumbersTheTorch) {
    EXPECT_EQ(Torch::numberOf("E13_Torch7"), 7);
    EXPECT_EQ(Torch::numberOf("A42_Torch2"), 2);
    EXPECT_EQ(Torch::numberOf("Torch9"), 9);
    EXPECT_EQ(Torch::numberOf("A01_Torch1"), 1);
    EXPECT_EQ(Torch::numberOf("Torch0"), 1);
    EXPECT_EQ(Torch::numberOf("Torch"), 1);
    EXPECT_EQ(Torch::numberOf(""), 1);
}

TEST_F(TorchTest, ItsLightTakesTheRadiusAndSlotOfItsNumber) {
    const auto seventh = makeTorch("E13_Torch7");
    EXPECT_EQ(seventh->light->index, 7);
    EXPECT_FLOAT_EQ(seventh->light->radius, 40.0f);
    EXPECT_EQ(seventh->ownLight(), seventh->light.get()) << "its slot, once its level is current";
    const auto first = makeTorch("Torch0");
    EXPECT_EQ(first->light->index, 1);
    EXPECT_FLOAT_EQ(first->light->radius, 35.0f);
    const auto third = makeTorch("Torch3"); // no key: the default radius
    EXPECT_FLOAT_EQ(third->light->radius, 60.0f);
    EXPECT_FLOAT_EQ(first->light->x, 5.5f);
    EXPECT_FLOAT_EQ(first->light->y, 4.1f);
    EXPECT_FLOAT_EQ(first->light->r, 1.0f);
}

TEST_F(TorchTest, WithoutSettingsTheFlameSitsAtTheModel) {
    const auto torch = makeTorch("Torch2", "../levels/empty.ini");
    EXPECT_FLOAT_EQ(torch->light->radius, 60.0f);
    EXPECT_EQ(torch->offset, (Vector3{0.0f, 0.0f, 0.0f}));
    torch->update();
    const PhysicsVec3 flame =
        torch->particleController->emitters.at("1red")->fluidEmitter->getGlobalPosition();
    EXPECT_FLOAT_EQ(flame.x, 5.0f);
    EXPECT_FLOAT_EQ(flame.y, 1.3f);
}

TEST_F(TorchTest, TorchesBeyondTheLightSlotsBurnWithoutALight) {
    const auto seventh = makeTorch("Torch7");
    for (const char* name : {"Torch8", "Torch9"}) {
        LogCapture log;
        const auto torch = makeTorch(name);
        EXPECT_EQ(log.count("WARN", std::string("Torch '") + name + "' has the number"), 1) << name;
        for (const LightSource* slot : LightManager::getInstance()->lights) {
            EXPECT_NE(slot, torch->light.get());
        }
        EXPECT_EQ(torch->ownLight(), nullptr) << "no slot to take when its level becomes current";
        EXPECT_EQ(seventh->ownLight(), seventh->light.get()) << "its slot, once its level is current";
        torch->update();
        EXPECT_EQ(torch->particleController->emitters.size(), 2u);
    }
}

TEST_F(TorchTest, ItBurnsWithTwoEmittersPushedByOneFieldAboveTheModel) {
    const auto torch = makeTorch("Torch4");
    ParticleController& fire = *torch->particleController;
    ASSERT_EQ(fire.emitters.size(), 2u);
    const std::uint16_t material = fire.forceFields.at("mainFF")->materialIndex;
    EXPECT_NE(material, 0);
    EXPECT_EQ(fire.emitters.at("1red")->fluid->getForceFieldMaterial(), material);
    EXPECT_EQ(fire.emitters.at("2yellow")->fluid->getForceFieldMaterial(), material);
    EXPECT_FLOAT_EQ(fire.emitters.at("1red")->fluidEmitter->getRate(), 50.0f);
    EXPECT_FLOAT_EQ(fire.emitters.at("2yellow")->fluidEmitter->getParticleLifetime(), 0.5f);
    ASSERT_TRUE(fire.offset.has_value());
    EXPECT_EQ(*fire.offset, torch->offset);
    for (int i = 0; i < 60; ++i) {
        torch->update();
        step();
    }
    EXPECT_GT(fire.emitters.at("1red")->particleCount, 30u);
    const PhysicsVec3 field = fire.forceFields.at("mainFF")->actor->getGlobalPosition();
    EXPECT_FLOAT_EQ(field.y, 1.3f + 2.8f + 1.0f);
}

TEST_F(TorchTest, TheLightFlickersJustBelowTheFlameInAGreyBetweenThirtyFiveAndFortyNine) {
    const auto torch = makeTorch("Torch5");
    for (int i = 0; i < 300; ++i) {
        torch->update();
        const LightSource& light = *torch->light;
        EXPECT_GE(light.r, 0.35f - 1e-6f);
        EXPECT_LE(light.r, 0.49f + 1e-6f);
        EXPECT_EQ(light.g, light.r);
        EXPECT_EQ(light.b, light.r);
        EXPECT_EQ(light.a, 2.0f);
        EXPECT_EQ(light.w, 1.0f);
        EXPECT_GE(light.y, 4.1f - 0.011f - 1e-5f);
        EXPECT_LE(light.y, 4.1f - 0.001f + 1e-5f);
        EXPECT_GE(light.x, 5.5f - 0.011f - 1e-5f);
        EXPECT_LE(light.z, -2.0f - 0.001f + 1e-5f);
    }
}
