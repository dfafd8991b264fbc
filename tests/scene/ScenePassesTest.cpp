#include <GL/glew.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "GlStateSnapshot.h"
#include "SceneFixture.h"
#include "core/ConfigManager.h"
#include "render/Frustum.h"
#include "render/LightManager.h"
#include "render/ShaderManager.h"

namespace {

// One call of the passes into a model, with the state it was made in.
struct Call {
    std::string model;
    std::string operation; // "render", "inRange" or "volume"
    const LightSource* light = nullptr;
    bool geometry = false;
    bool zPass = false;
    bool stencilTest = false;
    bool colourWrites = false;
    bool scissorTest = false;
    GLint stencilFunction = 0;
    GLint blendDestination = 0;
    GLint depthFailOperation = 0; // front faces
    GLint depthPassOperation = 0;
    bool cullFace = false;
    GLint cullFaceMode = 0;
    GLint program = 0;
    std::size_t lightCount = 0;

    std::string brief() const {
        return operation + " " + model + (light ? "+" + std::to_string(light->index) : "");
    }
};

class RecordingModel : public OgreModel {
public:
    RecordingModel(std::string name, std::vector<Call>& calls) : name(std::move(name)), calls(calls) {
        mesh = &bounds;
        bounds.radius = 1.0f;
    }
    ~RecordingModel() override { mesh = nullptr; }

    void render(LightSource* light) override { record("render", light); }
    void renderIfInRange(std::vector<LightSource*> lights) override {
        record("inRange", nullptr).lightCount = lights.size();
    }
    void renderShadowVolume(LightSource* light, bool useGeometryShader, bool zPass) override {
        Call& call = record("volume", light);
        call.geometry = useGeometryShader;
        call.zPass = zPass;
    }

private:
    Call& record(const char* operation, LightSource* light) {
        Call call;
        call.model = name;
        call.operation = operation;
        call.light = light;
        call.stencilTest = glIsEnabled(GL_STENCIL_TEST);
        call.scissorTest = glIsEnabled(GL_SCISSOR_TEST);
        GLboolean mask[4];
        glGetBooleanv(GL_COLOR_WRITEMASK, mask);
        call.colourWrites = mask[0];
        glGetIntegerv(GL_STENCIL_FUNC, &call.stencilFunction);
        glGetIntegerv(GL_BLEND_DST_RGB, &call.blendDestination);
        glGetIntegerv(GL_STENCIL_PASS_DEPTH_FAIL, &call.depthFailOperation);
        glGetIntegerv(GL_STENCIL_PASS_DEPTH_PASS, &call.depthPassOperation);
        call.cullFace = glIsEnabled(GL_CULL_FACE);
        glGetIntegerv(GL_CULL_FACE_MODE, &call.cullFaceMode);
        glGetIntegerv(GL_CURRENT_PROGRAM, &call.program);
        calls.push_back(call);
        return calls.back();
    }

    std::string name;
    std::vector<Call>& calls;
    OgreModelMesh bounds;
};

std::vector<std::string> briefs(const std::vector<Call>& calls, const std::string& operation = "") {
    std::vector<std::string> listed;
    for (const Call& call : calls) {
        if (operation.empty() || call.operation == operation) {
            listed.push_back(call.brief());
        }
    }
    return listed;
}

} // namespace

class ScenePassesTest : public SceneTest {
protected:
    void SetUp() override {
        SceneTest::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        torch = &addLight({4, 3, -2}, 20, 3);
        player = &addLight({0, 2, 0}, 30, 0);
        look({0, 5, 10}, {0, 0, 0});
    }

    SceneObject add(const std::string& name, const Vector3& at, bool transparent, bool receive, bool cast) {
        recorders.push_back(std::make_unique<RecordingModel>(name, calls));
        recorders.back()->setPosition(at);
        objects.push_back({recorders.back().get(), transparent, receive, cast});
        return objects.back();
    }

    // The level of the examples: node order A, glass(t), C, D(t), E.
    void addExampleLevel() {
        add("A", {0, 0, 0}, false, true, true);
        add("glass", {1, 0, 0}, true, true, true);
        add("C", {2, 0, 0}, false, false, true);
        add("D", {3, 0, 0}, true, false, true);
        add("E", {-1, 0, 0}, false, true, false);
    }

    std::vector<Call> calls;
    std::vector<std::unique_ptr<RecordingModel>> recorders;
    LightSource* torch = nullptr;
    LightSource* player = nullptr;
};

TEST_F(ScenePassesTest, TheShadowedPathDrawsAmbientThenPerLightVolumesAndLightThenTheOthers) {
    addExampleLevel();
    renderer.capabilities.twoSidedStencil = true;
    frame("passes-recorded");
    const std::vector<std::string> ambient = {"render A", "render E", "render glass"};
    std::vector<std::string> expected = ambient;
    // Lights in slot order: the player's first.
    for (const int slot : {0, 3}) {
        const std::string l = "+" + std::to_string(slot);
        for (const std::string caster : {"A", "glass", "C", "D"}) {
            expected.push_back("volume " + caster + l);
        }
        for (const std::string receiver : {"A", "E", "glass"}) {
            expected.push_back("render " + receiver + l);
        }
    }
    expected.insert(expected.end(), {"inRange C", "inRange D"});
    EXPECT_EQ(briefs(calls), expected);

    const GLint lighting = static_cast<GLint>(ShaderManager::getInstance()->perPixel->program);
    for (const Call& call : calls) {
        if (call.operation == "volume") {
            EXPECT_TRUE(call.stencilTest && !call.colourWrites && !call.cullFace) << call.brief();
            EXPECT_EQ(call.depthPassOperation, GL_INCR_WRAP) << "z-pass counts front faces up";
            EXPECT_NE(call.program, lighting);
        } else if (call.light) {
            EXPECT_TRUE(call.stencilTest && call.colourWrites) << call.brief();
            EXPECT_EQ(call.stencilFunction, GL_EQUAL);
            EXPECT_EQ(call.blendDestination, GL_ONE) << "each light adds on";
            EXPECT_EQ(call.program, lighting);
        } else {
            EXPECT_FALSE(call.stencilTest) << call.brief();
            EXPECT_EQ(call.program, lighting);
        }
        if (call.operation == "inRange") {
            EXPECT_EQ(call.blendDestination, GL_ONE_MINUS_SRC_ALPHA);
            EXPECT_EQ(call.lightCount, 2u);
        }
    }
}

TEST(SceneRendererTest, AnEntityIsTransparentByTheMarkInItsName) {
    EXPECT_TRUE(SceneRenderer::isTransparent("glass(t)"));
    EXPECT_TRUE(SceneRenderer::isTransparent("Window(t)[static]"));
    EXPECT_FALSE(SceneRenderer::isTransparent("glass(T)"));
    EXPECT_FALSE(SceneRenderer::isTransparent("crate[dynamic]"));
}

TEST_F(ScenePassesTest, ZPassOnlyWhenAskedForAndTheLightSeesTheEye) {
    add("A", {0, 0, 0}, false, true, true);
    for (const bool option : {true, false}) {
        for (const bool blocked : {false, true}) {
            setOptions(true, false, option, true);
            calls.clear();
            frame("passes-zpass", blocked);
            for (const Call& call : calls) {
                if (call.operation == "volume") {
                    EXPECT_EQ(call.zPass, option && !blocked);
                }
            }
        }
    }
}

TEST_F(ScenePassesTest, OneSidedStencilDrawsEveryVolumeTwiceWithOneSideCulled) {
    add("A", {0, 0, 0}, false, true, true);
    renderer.capabilities.twoSidedStencil = false;
    for (const bool zPass : {false, true}) {
        calls.clear();
        frame("passes-one-sided", !zPass);
        std::vector<std::string> seen;
        for (const Call& call : calls) {
            if (call.operation != "volume") {
                continue;
            }
            EXPECT_TRUE(call.cullFace);
            const GLint operation = zPass ? call.depthPassOperation : call.depthFailOperation;
            seen.push_back(std::string(call.cullFaceMode == GL_FRONT ? "front culled " : "back culled ") +
                           (operation == GL_INCR   ? "up"
                            : operation == GL_DECR ? "down"
                                                   : "?"));
        }
        const std::vector<std::string> zFailOrder = {"front culled up", "back culled down"};
        const std::vector<std::string> zPassOrder = {"back culled up", "front culled down"};
        std::vector<std::string> expected;
        for (int light = 0; light < 2; ++light) {
            const auto& order = zPass ? zPassOrder : zFailOrder;
            expected.insert(expected.end(), order.begin(), order.end());
        }
        EXPECT_EQ(seen, expected) << (zPass ? "z-pass" : "z-fail");
    }
    GLint cullMode = 0;
    glGetIntegerv(GL_CULL_FACE_MODE, &cullMode);
    EXPECT_EQ(cullMode, GL_BACK);
}

TEST_F(ScenePassesTest, ModelsOutOfViewAreNotDrawnButStillCastAndCullingCanBeOff) {
    add("A", {0, 0, 0}, false, true, true);
    add("behind", {0, 5, 30}, false, true, true);
    frame("passes-culled");
    EXPECT_EQ(briefs(calls, "render"), (std::vector<std::string>{"render A", "render A+0", "render A+3"}));
    EXPECT_EQ(briefs(calls, "volume").size(), 4u) << "both cast for both lights";

    ConfigManager::getInstance()->getMainConfig()->frustumCulling = false;
    calls.clear();
    frame("passes-unculled");
    EXPECT_EQ(briefs(calls, "render").size(), 6u);
}

TEST_F(ScenePassesTest, TheGeometryShaderDrawsVolumesOnlyWhenAskedForAndOffered) {
    add("A", {0, 0, 0}, false, true, true);
    const bool offered = ShaderManager::getInstance()->shadowGeometry != nullptr;
    for (const bool asked : {false, true}) {
        for (const bool capable : {false, true}) {
            setOptions(true, asked, true, true);
            renderer.capabilities.geometryShader = capable;
            calls.clear();
            frame("passes-geometry");
            ASSERT_FALSE(briefs(calls, "volume").empty());
            for (const Call& call : calls) {
                if (call.operation == "volume") {
                    EXPECT_EQ(call.geometry, asked && capable && offered);
                }
            }
        }
    }
}

TEST_F(ScenePassesTest, WithTheScissorOptionOffNoScissorTestIsOn) {
    add("A", {0, 0, 0}, false, true, true);
    for (const bool scissor : {true, false}) {
        setOptions(true, false, true, scissor);
        calls.clear();
        frame("passes-scissor");
        for (const Call& call : calls) {
            EXPECT_EQ(call.scissorTest, scissor && call.stencilTest) << call.brief();
        }
    }
}

TEST_F(ScenePassesTest, ThePlainPathDrawsOpaqueModelsFirstWithEveryLight) {
    addExampleLevel();
    setOptions(false, false, true, true);
    frame("passes-plain");
    EXPECT_EQ(briefs(calls),
              (std::vector<std::string>{"render A", "render C", "render E", "render glass", "render D"}));
    for (const Call& call : calls) {
        EXPECT_FALSE(call.stencilTest);
    }
}

TEST_F(ScenePassesTest, BothPathsLeaveTheStateAsTheyFoundIt) {
    addExampleLevel();
    for (const bool shadows : {true, false}) {
        for (const int mode : {0, 1}) {
            setOptions(shadows, true, true, true);
            ConfigManager::getInstance()->getMainConfig()->renderMode = mode;
            const GlStateSnapshot before;
            renderer.render(objects, [](const Vector3&, const Vector3&) { return false; });
            EXPECT_EQ(GlStateSnapshot().changesSince(before, GlStateSnapshot::kSetBeforeUse), "")
                << (shadows ? "shadowed" : "plain") << ", render mode " << mode;
        }
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ScenePassesTest, ParticlesOfTheMainCharacterComeFirstAndOnlyTorchesNearTheViewFollow) {
    std::vector<std::string> drawn;
    const auto drawing = [&drawn](const std::string& name) {
        return [&drawn, name] { drawn.push_back(name); };
    };
    // 1.5 beyond the left edge of the view: out of it with its radius alone, within once grown by 2.
    const float* left = Frustum::getInstance()->planes[Frustum::LEFT];
    const Vector3 inward{left[0], left[1], left[2]};
    const Vector3 edge = inward * -(left[3] + 1.5f);
    const std::vector<SceneRenderer::ParticleSource> torches = {
        {{0, 0, 0}, 1.0f, drawing("seen")},
        {{0, 0, 40}, 1.0f, drawing("behind")},
        {edge, 0.5f, drawing("edge")},
        {edge * 1.5f, 0.5f, drawing("far off")},
    };
    renderer.renderParticles(drawing("ball"), torches);
    EXPECT_EQ(drawn, (std::vector<std::string>{"ball", "seen", "edge"}));
}
