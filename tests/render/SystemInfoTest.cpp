#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "LogCapture.h"
#include "render/SystemInfo.h"

namespace {

// A driver offering every core version up to `highest` (index into 1.1 .. 3.0, -1 for none).
SystemInfo::Driver driverUpTo(int highest, std::set<std::string> extensions,
                              std::vector<std::string>* asked = nullptr) {
    SystemInfo::Driver driver;
    for (int flag = 0; flag <= highest; ++flag) {
        driver.versions[flag] = true;
    }
    driver.renderer = "Rasteriser";
    driver.vendor = "Maker";
    driver.isSupported = [extensions, asked](const char* name) {
        if (asked) {
            asked->push_back(name);
        }
        return extensions.count(name) > 0;
    };
    return driver;
}

} // namespace

TEST(SystemInfoTest, TheHighestSupportedVersionDecidesAndIsLogged) {
    const LogCapture log;
    const SystemInfo modern(driverUpTo(6, {}));
    EXPECT_EQ(modern.getVersionString(), "2.1");
    EXPECT_GE(modern.versionIndex, SystemInfo::kVersion20);
    EXPECT_TRUE(log.contains("System capable of OpenGL version 2.1."));
    EXPECT_TRUE(log.contains("Using OpenGL Renderer: Rasteriser from Maker."));

    const SystemInfo old(driverUpTo(4, {}));
    EXPECT_EQ(old.getVersionString(), "1.5");
    EXPECT_LT(old.versionIndex, SystemInfo::kVersion20);

    const SystemInfo bare(driverUpTo(-1, {}));
    EXPECT_EQ(bare.getVersionString(), "1.0");

    SystemInfo odd(driverUpTo(7, {}));
    EXPECT_EQ(odd.getVersionString(), "3.0");
    odd.versionIndex = 9;
    EXPECT_EQ(odd.getVersionString(), "1.1");
}

TEST(SystemInfoTest, RendererLineFallsBackWhenTheDriverNamesAreMissing) {
    const LogCapture log;
    SystemInfo::Driver onlyRenderer = driverUpTo(6, {});
    onlyRenderer.vendor.clear();
    SystemInfo{onlyRenderer};
    SystemInfo::Driver nameless = driverUpTo(6, {});
    nameless.renderer.clear();
    nameless.vendor.clear();
    SystemInfo{nameless};
    EXPECT_TRUE(log.contains("Using OpenGL Renderer: Rasteriser."));
    EXPECT_TRUE(log.contains("Using an OpenGL Renderer from ."));
}

TEST(SystemInfoTest, GeometryShadersNeedBothExtensionsAndTheSecondIsOnlyAskedAfterTheFirst) {
    std::vector<std::string> asked;
    const SystemInfo halfway(driverUpTo(7, {"GL_EXT_geometry_shader4", "GL_NV_depth_clamp"}, &asked));
    EXPECT_FALSE(halfway.geometryShader);
    EXPECT_TRUE(halfway.depthClamp);
    EXPECT_EQ(asked, (std::vector<std::string>{"GL_EXT_geometry_shader4", "GL_EXT_gpu_shader4",
                                               "GL_EXT_depth_bounds_test", "GL_ARB_texture_non_power_of_two",
                                               "GL_EXT_texture_compression_s3tc", "GL_NV_depth_clamp"}));

    asked.clear();
    const SystemInfo without(
        driverUpTo(7, {"GL_EXT_gpu_shader4", "GL_EXT_texture_compression_s3tc"}, &asked));
    EXPECT_FALSE(without.geometryShader);
    EXPECT_TRUE(without.textureCompressionS3TC);
    EXPECT_EQ(asked.front(), "GL_EXT_geometry_shader4");
    EXPECT_EQ(asked.size(), 5u) << "gpu_shader4 is not asked without geometry_shader4";

    const SystemInfo full(driverUpTo(7, {"GL_EXT_geometry_shader4", "GL_EXT_gpu_shader4",
                                         "GL_EXT_depth_bounds_test", "GL_ARB_texture_non_power_of_two"}));
    EXPECT_TRUE(full.geometryShader);
    EXPECT_TRUE(full.depthBoundsTest);
    EXPECT_TRUE(full.nonPowerOfTwoTextures);
    EXPECT_FALSE(full.depthClamp);
}

TEST(SystemInfoTest, CoreGeometryShadersCountWithoutTheExtensionsAndTheLanguageVersionIsRead) {
    SystemInfo::Driver driver = driverUpTo(7, {});
    driver.coreGeometryShaders = true;
    driver.shadingLanguage = "1.50 NVIDIA via Cg compiler";
    const SystemInfo core(driver);
    EXPECT_TRUE(core.geometryShader);
    EXPECT_EQ(core.shadingLanguageVersion, 150);
    EXPECT_EQ(SystemInfo::parseShadingLanguage("4.60"), 460);
    EXPECT_EQ(SystemInfo::parseShadingLanguage(""), 0);
    EXPECT_EQ(SystemInfo::parseShadingLanguage("OpenGL ES GLSL"), 0);
}

TEST(SystemInfoTest, MesasCpuRasterisersAreKnownByTheirRendererName) {
    for (const char* renderer : {"llvmpipe (LLVM 15.0.6, 256 bits)", "softpipe", "Software Rasterizer"}) {
        EXPECT_TRUE(SystemInfo::isSoftwareRasterizer(renderer)) << renderer;
    }
    for (const char* renderer :
         {"", "Mesa Intel(R) UHD Graphics 620 (KBL GT2)", "NVIDIA GeForce GTX 1060/PCIe/SSE2"}) {
        EXPECT_FALSE(SystemInfo::isSoftwareRasterizer(renderer)) << renderer;
    }
    const LogCapture log;
    SystemInfo::Driver driver = driverUpTo(6, {});
    driver.renderer = "llvmpipe (LLVM 15.0.6, 256 bits)";
    EXPECT_TRUE(SystemInfo(driver).softwareRasterizer);
    EXPECT_TRUE(log.contains("Software rasterizer"));
}
