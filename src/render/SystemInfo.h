#pragma once

#include "core/Singleton.h"

#include <array>
#include <functional>
#include <string>

// What the OpenGL driver offers: the core version, who made the renderer and the
// optional capabilities the renderer switches features by. Probed once after the
// window and the extension loader are up; never destroyed.
class SystemInfo : public Singleton<SystemInfo> {
    friend class Singleton<SystemInfo>;

public:
    // What the probe reads from the driver. The constructor logs and decides from it.
    struct Driver {
        // Supported core versions 1.1, 1.2, 1.3, 1.4, 1.5, 2.0, 2.1 and 3.0, in this order.
        std::array<bool, 8> versions{};
        std::string renderer;
        std::string vendor;
        std::string shadingLanguage;      // "1.50", "4.50 ...": the highest GLSL version
        bool coreGeometryShaders = false; // OpenGL 3.2 has them without the extension
        std::function<bool(const char* extension)> isSupported;
    };
    // Reads the current context through the extension loader; an extension counts
    // only when the driver lists it too. For test runs only, VORN_TEST_GL_VERSION
    // ("1.5", "2.1", ...) caps the version reported.
    static Driver probeDriver();

    explicit SystemInfo(const Driver& driver);
    // Probes the current OpenGL context.
    SystemInfo() : SystemInfo(probeDriver()) {}

    std::string getVersionString() const;
    // "4.50 core" gives 450; text without a version gives 0.
    static int parseShadingLanguage(const std::string& text);
    static bool isSoftwareRasterizer(const std::string& renderer);

    static constexpr int kVersion20 = 6;

    int versionIndex = 0;
    std::string renderer;
    std::string vendor;
    int shadingLanguageVersion = 0; // e.g. 150 for GLSL 1.50
    bool geometryShader = false;
    bool depthBoundsTest = false;
    bool textureCompressionS3TC = false;
    bool nonPowerOfTwoTextures = false;
    bool depthClamp = false;
    // Mesa's CPU rasterisers: they decode compressed texels and take every
    // anisotropic sample in software, per pixel and per frame.
    bool softwareRasterizer = false;

private:
};
