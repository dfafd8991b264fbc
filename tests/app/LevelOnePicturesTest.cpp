#include <gtest/gtest.h>

#include <GL/glew.h>
#include <GL/glu.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <string>

#include "FrameCapture.h"
#include "InProcessGame.h"
#include "app/Frame.h"
#include "app/Window.h"
#include "core/GameState.h"
#include "core/StateManager.h"
#include "core/TimeManager.h"
#include "game/Camera.h"
#include "game/MainChar.h"
#include "game/Torch.h"
#include "physics/PhysicsActor.h"
#include "platform/Glfw.h"
#include "render/LightManager.h"

#include "render/TextureLoader.h"
#include "scene/OgreScene.h"
#include "scene/SceneManager.h"

namespace {

// Level 1 as the player sees it: the game's own start-up, frames and screenshot
// key, on a copy of the game tree, with a clock that moves 1/60 s per frame so
// every frame runs one physics step whatever the drawing costs.
class LevelOnePicturesTest : public InProcessGame {
protected:
    void SetUp() override {
        InProcessGame::SetUp();
        SceneManager* levels = SceneManager::getInstance();
        levels->waitForLoads();
        ASSERT_TRUE(levels->setCurrentLevel(0)) << levels->getLoadError(0);
        TextureLoader::getInstance()->uploadTextures(true);
        StateManager::getInstance()->setState(IN_GAME);
        level = levels->getCurrentScene();
        ball = MainChar::current();
        ASSERT_NE(ball, nullptr);
        // The pointer's place when the window opened has turned the camera; look from
        // behind the ball, as before any mouse move.
        Camera* camera = Camera::getInstance();
        camera->yawTarget = 0.0f;
        camera->pitchTarget = 45.0f;
        // Tests running beside this one on the same X server move the pointer; the
        // pictures are taken from the camera places set here, not from where it went.
        Glfw::setMousePosCallback(nullptr);
    }

    // Frames of play, one physics step each.
    void play(int frames) {
        for (int i = 0; i < frames; ++i) {
            clock += 17;
            update();
            render();
        }
    }

    // The next frame, with time standing still, taken by the screenshot key and saved as NAME.png.
    FrameCapture picture(const std::string& name) {
        return screenshot(name, [this] {
            update();
            storeView();
            render();
        });
    }

    // Window position (y down, as the picture counts) of a world point in the view of the last picture.
    std::array<int, 2> onScreen(const Vector3& point) const {
        double x = 0.0;
        double y = 0.0;
        double z = 0.0;
        gluProject(point.x, point.y, point.z, view, projection, viewport, &x, &y, &z);
        return {static_cast<int>(x), viewport[3] - 1 - static_cast<int>(y)};
    }

    // Mean red + green + blue of the square of half size `half` around a world point.
    static double brightnessAround(const FrameCapture& frame, const std::array<int, 2>& at, int half = 4) {
        double sum = 0.0;
        int count = 0;
        for (int y = at[1] - half; y <= at[1] + half; ++y) {
            for (int x = at[0] - half; x <= at[0] + half; ++x) {
                if (x >= 0 && y >= 0 && x < frame.width && y < frame.height) {
                    sum += frame.brightness(x, y);
                    ++count;
                }
            }
        }
        return count > 0 ? sum / count : 0.0;
    }

    Torch& firstTorch() const { return *level->objectsOf<Torch>().front(); }

    OgreSceneEntity& ballEntity() const {
        for (const auto& [name, node] : level->nodes) {
            if (node->entity && node->entity->model == ball) {
                return *node->entity;
            }
        }
        throw std::logic_error("the ball has no entity");
    }

    OgreScene* level = nullptr;
    MainChar* ball = nullptr;

private:
    void storeView() {
        glGetDoublev(GL_MODELVIEW_MATRIX, view);
        glGetDoublev(GL_PROJECTION_MATRIX, projection);
        glGetIntegerv(GL_VIEWPORT, viewport);
    }

    double view[16] = {};
    double projection[16] = {};
    int viewport[4] = {};
};

// Young red-hot puffs in the square of half size `half` around a point.
int flamePixels(const FrameCapture& frame, const std::array<int, 2>& at, int half) {
    int warm = 0;
    for (int y = std::max(0, at[1] - half); y <= std::min(frame.height - 1, at[1] + half); ++y) {
        for (int x = std::max(0, at[0] - half); x <= std::min(frame.width - 1, at[0] + half); ++x) {
            const FrameCapture::Pixel p = frame.at(x, y);
            warm += p[0] > 200 && p[0] > p[2] + 80 ? 1 : 0;
        }
    }
    return warm;
}

TEST_F(LevelOnePicturesTest, StartShowsTheLitGroundATorchsPoolAndTheBallsShadow) {
    play(90);
    const FrameCapture start = picture("level1-start");
    ASSERT_EQ(start.width, 640);
    ballEntity().castShadows = false;
    const FrameCapture unshadowed = picture("level1-start-no-ball-shadow");
    ballEntity().castShadows = true;
    Torch& torch = firstTorch();
    LightSource** slot = &LightManager::getInstance()->lights[torch.light->index];
    *slot = nullptr;
    const FrameCapture unlit = picture("level1-start-no-torch-light");
    *slot = torch.light.get();

    // Nothing stands between the camera and the ball.
    const std::array<int, 2> ballAt = onScreen(*ball->getPosition());
    const FrameCapture::Pixel ballColour = start.at(ballAt[0], ballAt[1]);
    EXPECT_GT(ballColour[0], ballColour[2] + 60) << "the ball is hidden";
    // Its fire rises clear of it: flames in the square just above the ball, where its own
    // glowing surface cannot count.
    std::array<int, 2> aboveBall = onScreen(*ball->getPosition() + Vector3{0.0f, 1.0f, 0.0f});
    aboveBall[1] -= 21;
    EXPECT_GT(flamePixels(start, aboveBall, 20), 300) << "the ball does not burn";

    // The torch's light pools on the ground beside it and fades with distance.
    const Vector3 foot = *torch.getPosition();
    const auto lightAdded = [&](const Vector3& ground) {
        return brightnessAround(start, onScreen(ground)) - brightnessAround(unlit, onScreen(ground));
    };
    const double pool = lightAdded(foot + Vector3{2.0f, 0.0f, -2.0f});
    EXPECT_GT(pool, 90.0);
    EXPECT_GT(pool, 2.0 * lightAdded(foot + Vector3{12.5f, 0.0f, 0.0f}));
    EXPECT_GT(pool, 2.0 * lightAdded(foot + Vector3{0.0f, 0.0f, -12.5f}));
    EXPECT_GT(brightnessAround(start, onScreen(foot + Vector3{2.0f, 0.0f, -2.0f})), 150.0) << "too dark";

    // The ball's shadow falls on the ground beyond it, seen from the torch.
    const std::array<int, 2> torchAt = onScreen(foot);
    int darkened = 0;
    double beyond = 0.0;
    for (int y = 0; y < start.height; ++y) {
        for (int x = 0; x < start.width; ++x) {
            if (unshadowed.brightness(x, y) - start.brightness(x, y) > 30) {
                ++darkened;
                beyond +=
                    (x - ballAt[0]) * (ballAt[0] - torchAt[0]) + (y - ballAt[1]) * (ballAt[1] - torchAt[1]);
            }
        }
    }
    EXPECT_GT(darkened, 1000);
    EXPECT_GT(beyond, 0.0);
    EXPECT_LT(start.countBrighter(0, 0, start.width, start.height, 740), start.width * start.height / 50)
        << "too bright";
}

// The ball's own light hangs just above it. Beside an edge, and falling past it, the ball's
// shadow in that light must stay on the ground close under the ball, not spread as a wide
// dark disc over the mist far below.
TEST_F(LevelOnePicturesTest, TheBallsShadowInItsOwnLightStaysOnTheGroundCloseUnderIt) {
    Torch& torch = firstTorch();
    LightManager::getInstance()->lights[torch.light->index] = nullptr; // only the ball's own light
    // Flames flicker at random between two pictures; these compare shadows only.
    for (ParticleController* fire : {ball->particleController.get(), torch.particleController.get()}) {
        fire->setEmitting(false);
        fire->removeAllParticles();
        fire->enabled = false;
    }
    Camera* camera = Camera::getInstance();
    camera->yawTarget = -90.0f; // from the pad, west over its edge into the dark
    camera->pitchTarget = 50.0f;
    camera->desiredDistance = 12.0f;
    play(90);
    struct Place {
        const char* name;
        Vector3 at;
    };
    for (const Place& place :
         {Place{"edge", {8.9f, 21.0f, -235.0f}}, Place{"falling", {5.0f, 19.0f, -235.0f}}}) {
        SCOPED_TRACE(place.name);
        ball->getActor()->setGlobalPosition({place.at.x, place.at.y, place.at.z});
        ball->getActor()->setLinearVelocity({});
        play(1);
        const FrameCapture shadowed = picture(std::string("level1-ball-shadow-") + place.name);
        ballEntity().castShadows = false;
        const FrameCapture unshadowed = picture(std::string("level1-ball-no-shadow-") + place.name);
        ballEntity().castShadows = true;

        const Vector3 centre = *ball->getPosition();
        const std::array<int, 2> ballAt = onScreen(centre);
        double near = 0.0;
        for (const Vector3& offset :
             {Vector3{5, 0, 0}, Vector3{-5, 0, 0}, Vector3{0, 0, 5}, Vector3{0, 0, -5}, Vector3{0, -5, 0}}) {
            const std::array<int, 2> to = onScreen(centre + offset);
            near = std::max(near, std::hypot(to[0] - ballAt[0], to[1] - ballAt[1]));
        }
        int closeUnder = 0;
        int farAway = 0;
        // Below the bars and above the messages, which the pictures themselves add.
        for (int y = 60; y < shadowed.height - 100; ++y) {
            for (int x = 0; x < shadowed.width; ++x) {
                if (unshadowed.brightness(x, y) - shadowed.brightness(x, y) > 30) {
                    (std::hypot(x - ballAt[0], y - ballAt[1]) > near ? farAway : closeUnder) += 1;
                }
            }
        }
        EXPECT_LT(farAway, 50) << "darkened beyond 5 units of the ball";
        if (std::string(place.name) == "edge") {
            EXPECT_GT(closeUnder, 300) << "the ball keeps its shadow on the pad";
        }
    }
}

TEST_F(LevelOnePicturesTest, ATorchAndTheBallBurnUnderTheSky) {
    Camera* camera = Camera::getInstance();
    camera->yawTarget = -135.0f; // from beyond the ball, towards the first torch
    camera->pitchTarget = 20.0f;
    camera->desiredDistance = 8.0f;
    play(90);
    const FrameCapture fires = picture("level1-fires");
    ASSERT_EQ(fires.width, 640);
    Torch& torch = firstTorch();
    const Vector3 flame = *torch.getPosition() + torch.offset;
    EXPECT_GT(flamePixels(fires, onScreen(flame + Vector3{0.0f, 1.0f, 0.0f}), 30), 200);
    EXPECT_GT(flamePixels(fires, onScreen(*ball->getPosition() + Vector3{0.0f, 1.5f, 0.0f}), 30), 400);
    int sky = 0;
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < fires.width; ++x) {
            const FrameCapture::Pixel p = fires.at(x, y);
            sky += p[2] > p[1] && p[0] + p[1] + p[2] > 30 ? 1 : 0;
        }
    }
    EXPECT_GT(sky, 40 * fires.width / 2) << "the night sky shows above the level";

    // Nearly half a turn from the last view: the camera may swing either way round, so it is
    // given time to arrive whichever way it takes.
    camera->yawTarget = 52.0f; // the torch in front, the ball behind it
    camera->pitchTarget = 15.0f;
    camera->desiredDistance = 16.0f;
    play(150);
    const FrameCapture close = picture("level1-torch");
    EXPECT_GT(flamePixels(close, onScreen(flame + Vector3{0.0f, 1.0f, 0.0f}), 40), 1000);
}

} // namespace
