#include "render/SystemInfo.h"

#include <GL/glew.h>
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "core/Log.h"

VORN_FILE_LOGGER("SystemInfo")

namespace {

constexpr const char* kVersionNames[] = {"1.0", "1.1", "1.2", "1.3", "1.4", "1.5", "2.0", "2.1", "3.0"};
constexpr int kVersionCount = sizeof kVersionNames / sizeof kVersionNames[0];

std::string glText(GLenum name) {
    const GLubyte* text = glGetString(name);
    return text ? reinterpret_cast<const char*>(text) : "";
}

// A test run may pretend the driver stops at a lower version than it has.
void applyTestVersionCap(std::array<bool, 8>& versions) {
    const char* cap = std::getenv("VORN_TEST_GL_VERSION");
    if (!cap) {
        return;
    }
    for (int index = 1; index < kVersionCount; ++index) {
        if (std::string(kVersionNames[index]) > cap) {
            versions[index - 1] = false;
        }
    }
}

// With glewExperimental the loader also claims extensions whose entry points
// merely resolve, and a driver hands out entry points for names it does not offer.
bool listedByDriver(const char* extension) {
    std::istringstream names(glText(GL_EXTENSIONS));
    for (std::string name; names >> name;) {
        if (name == extension) {
            return true;
        }
    }
    return false;
}

} // namespace

SystemInfo::Driver SystemInfo::probeDriver() {
    Driver driver;
    driver.versions = {GLEW_VERSION_1_1 != 0, GLEW_VERSION_1_2 != 0, GLEW_VERSION_1_3 != 0,
                       GLEW_VERSION_1_4 != 0, GLEW_VERSION_1_5 != 0, GLEW_VERSION_2_0 != 0,
                       GLEW_VERSION_2_1 != 0, GLEW_VERSION_3_0 != 0};
    applyTestVersionCap(driver.versions);
    driver.renderer = glText(GL_RENDERER);
    driver.vendor = glText(GL_VENDOR);
    driver.shadingLanguage = glText(GL_SHADING_LANGUAGE_VERSION);
    driver.coreGeometryShaders = GLEW_VERSION_3_2 != 0;
    driver.isSupported = [](const char* extension) {
        return glewIsSupported(extension) != 0 && listedByDriver(extension);
    };
    return driver;
}

SystemInfo::SystemInfo(const Driver& driver)
    : renderer(driver.renderer), vendor(driver.vendor),
      shadingLanguageVersion(parseShadingLanguage(driver.shadingLanguage)) {
    for (std::size_t flag = 0; flag < driver.versions.size(); ++flag) {
        if (driver.versions[flag]) {
            versionIndex = static_cast<int>(flag) + 1;
        }
    }
    LOG_INFO("System capable of OpenGL version " << getVersionString() << ".");

    if (!renderer.empty() && !vendor.empty()) {
        LOG_INFO("Using OpenGL Renderer: " << renderer << " from " << vendor << ".");
    } else if (!renderer.empty()) {
        LOG_INFO("Using OpenGL Renderer: " << renderer << ".");
    } else {
        LOG_INFO("Using an OpenGL Renderer from " << vendor << ".");
    }

    geometryShader =
        (driver.isSupported("GL_EXT_geometry_shader4") && driver.isSupported("GL_EXT_gpu_shader4")) ||
        driver.coreGeometryShaders;
    depthBoundsTest = driver.isSupported("GL_EXT_depth_bounds_test");
    nonPowerOfTwoTextures = driver.isSupported("GL_ARB_texture_non_power_of_two");
    textureCompressionS3TC = driver.isSupported("GL_EXT_texture_compression_s3tc");
    depthClamp = driver.isSupported("GL_NV_depth_clamp");
    softwareRasterizer = isSoftwareRasterizer(renderer);
    if (softwareRasterizer) {
        LOG_INFO("Software rasterizer: textures are kept uncompressed and without anisotropic filtering.");
    }
}

bool SystemInfo::isSoftwareRasterizer(const std::string& renderer) {
    for (const char* name : {"llvmpipe", "softpipe", "Software Rasterizer"}) {
        if (renderer.find(name) != std::string::npos) {
            return true;
        }
    }
    return false;
}

int SystemInfo::parseShadingLanguage(const std::string& text) {
    int major = 0;
    int minor = 0;
    if (std::sscanf(text.c_str(), "%d.%d", &major, &minor) != 2 || major < 0 || minor < 0 || minor > 99) {
        return 0;
    }
    return major * 100 + minor;
}

std::string SystemInfo::getVersionString() const {
    if (versionIndex < 0 || versionIndex >= kVersionCount) {
        return "1.1";
    }
    return kVersionNames[versionIndex];
}
