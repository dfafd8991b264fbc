#include <gtest/gtest.h>

#include <GL/glew.h>
#include <GL/glu.h>

#include <filesystem>
#include <optional>
#include <string>

#include "ChildProcess.h"
#include "FrameCapture.h"
#include "app/Frame.h"
#include "app/Window.h"
#include "core/GameState.h"
#include "core/ManagerLifetime.h"
#include "core/PlayerFiles.h"
#include "core/StateManager.h"
#include "core/TimeManager.h"
#include "game/Camera.h"
#include "game/MainChar.h"
#include "game/Route.h"
#include "platform/Glfw.h"
#include "render/TextureLoader.h"
#include "scene/OgreScene.h"
#include "scene/SceneManager.h"

namespace {

// Every level of the campaign as the player first sees it, and from high above, on a copy of
// the game tree with a clock that moves one physics step a frame.
class CampaignPicturesTest : public ::testing::Test {
protected:
    void SetUp() override {
        previous = std::filesystem::current_path();
        std::filesystem::current_path(game.root() / "bin");
        windowState = WindowState{};
        init();
        clock = TimeManager::getInstance()->now;
        TimeManager::getInstance()->setClock([this] { return clock; });
        Glfw::setMousePosCallback(nullptr);
        SceneManager::getInstance()->waitForLoads();
    }

    void TearDown() override {
        shutdown();
        ManagerLifetime::allowCreation();
        windowState = WindowState{};
        std::filesystem::current_path(previous);
    }

    void play(int frames) {
        for (int i = 0; i < frames; ++i) {
            clock += TimeManager::kStepMilliseconds;
            update();
        }
    }

    // The next frame, saved as NAME.png; `point` is where a world point lies in it (none when
    // it lies behind the camera).
    FrameCapture picture(const std::string& name, const Vector3& point, std::optional<Vector3>& onScreen) {
        windowState.screenshotRequested = true;
        render();
        double view[16], projection[16], x = 0, y = 0, z = 0;
        int viewport[4];
        glGetDoublev(GL_MODELVIEW_MATRIX, view);
        glGetDoublev(GL_PROJECTION_MATRIX, projection);
        glGetIntegerv(GL_VIEWPORT, viewport);
        gluProject(point.x, point.y, point.z, view, projection, viewport, &x, &y, &z);
        onScreen =
            z > 0.0 && z < 1.0 ? std::optional<Vector3>(Vector3{float(x), float(y), float(z)}) : std::nullopt;
        const std::filesystem::path shot = PlayerFiles::dataDir() / "screenshots/screen0.tga";
        FrameCapture captured = FrameCapture::load(shot.string());
        std::filesystem::remove(shot);
        captured.save(name);
        return captured;
    }

    GameCopy game;
    std::filesystem::path previous;
    int clock = 0;
};

// The start view looks the way on: the route's first waypoint is in the picture, above the
// middle of its bottom (the camera looks along the start orientation over the ball).
TEST_F(CampaignPicturesTest, EveryLevelStartsLookingTheWayOnAndShowsItselfFromAbove) {
    SceneManager* levels = SceneManager::getInstance();
    ASSERT_EQ(levels->getLevelCount(), 8);
    for (int index = 0; index < levels->getLevelCount(); ++index) {
        const std::string path = levels->getPath(index);
        SCOPED_TRACE(path);
        const std::optional<Route> route = Route::forScene(path);
        ASSERT_TRUE(route);
        ASSERT_TRUE(levels->loadSceneBlocking(path)) << levels->getLoadError(index);
        StateManager::getInstance()->setState(LOADING);
        ASSERT_TRUE(levels->setCurrentLevel(index));
        TextureLoader::getInstance()->uploadTextures(true);
        StateManager::getInstance()->setState(IN_GAME);
        play(30);
        const std::string name = "campaign_level" + std::to_string(index + 1);
        std::optional<Vector3> first;
        const FrameCapture start = picture(name + "_start", route->waypoints.front().position, first);
        ASSERT_TRUE(first) << "the first waypoint is behind the camera";
        EXPECT_GT(first->x, start.width * 0.25f);
        EXPECT_LT(first->x, start.width * 0.75f);
        EXPECT_GT(first->y, start.height * 0.3f) << "above the ball, further on";
        EXPECT_LT(first->y, float(start.height));

        Camera* camera = Camera::getInstance();
        // High behind the start, far beyond where the player's camera may go; the next level
        // starts from the player's distance again.
        const float desired = camera->desiredDistance;
        const float current = camera->currentDistance;
        camera->pitchTarget = 40.0f;
        camera->desiredDistance = 110.0f;
        play(240);
        std::optional<Vector3> ignored;
        picture(name + "_overview", route->waypoints.back().position, ignored);
        camera->desiredDistance = desired;
        camera->currentDistance = current;
        StateManager::getInstance()->setState(MAIN_MENU);
    }
}

} // namespace
