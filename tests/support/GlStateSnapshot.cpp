#include "GlStateSnapshot.h"

#include <GL/glew.h>
#include <cstdint>
#include <sstream>

#include "render/SystemInfo.h"

namespace {

struct Entry {
    const char* name;
    GLenum pname;
    int count;
};

#define ENTRY(pname, count)                                                                                  \
    { #pname, pname, count }

const Entry kEnables[] = {
    ENTRY(GL_BLEND, 1),          ENTRY(GL_CULL_FACE, 1),
    ENTRY(GL_DEPTH_TEST, 1),     ENTRY(GL_STENCIL_TEST, 1),
    ENTRY(GL_SCISSOR_TEST, 1),   ENTRY(GL_LIGHTING, 1),
    ENTRY(GL_COLOR_MATERIAL, 1), ENTRY(GL_NORMALIZE, 1),
    ENTRY(GL_ALPHA_TEST, 1),     ENTRY(GL_FOG, 1),
    ENTRY(GL_VERTEX_ARRAY, 1),   ENTRY(GL_NORMAL_ARRAY, 1),
    ENTRY(GL_COLOR_ARRAY, 1),    ENTRY(GL_TEXTURE_COORD_ARRAY, 1),
};

const Entry kIntegers[] = {
    ENTRY(GL_ACTIVE_TEXTURE, 1),
    ENTRY(GL_CLIENT_ACTIVE_TEXTURE, 1),
    ENTRY(GL_TEXTURE_BINDING_2D, 1),
    ENTRY(GL_TEXTURE_BINDING_3D, 1),
    ENTRY(GL_ARRAY_BUFFER_BINDING, 1),
    ENTRY(GL_VERTEX_ARRAY_BUFFER_BINDING, 1),
    ENTRY(GL_TEXTURE_COORD_ARRAY_BUFFER_BINDING, 1),
    ENTRY(GL_VERTEX_ARRAY_SIZE, 1),
    ENTRY(GL_TEXTURE_COORD_ARRAY_SIZE, 1),
    ENTRY(GL_ELEMENT_ARRAY_BUFFER_BINDING, 1),
    ENTRY(GL_CURRENT_PROGRAM, 1),
    ENTRY(GL_MATRIX_MODE, 1),
    ENTRY(GL_MODELVIEW_STACK_DEPTH, 1),
    ENTRY(GL_PROJECTION_STACK_DEPTH, 1),
    ENTRY(GL_ATTRIB_STACK_DEPTH, 1),
    ENTRY(GL_CLIENT_ATTRIB_STACK_DEPTH, 1),
    ENTRY(GL_UNPACK_ALIGNMENT, 1),
    ENTRY(GL_PACK_ALIGNMENT, 1),
    ENTRY(GL_COLOR_MATERIAL_FACE, 1),
    ENTRY(GL_COLOR_MATERIAL_PARAMETER, 1),
    ENTRY(GL_BLEND_SRC_RGB, 1),
    ENTRY(GL_BLEND_DST_RGB, 1),
    ENTRY(GL_BLEND_SRC_ALPHA, 1),
    ENTRY(GL_BLEND_DST_ALPHA, 1),
    ENTRY(GL_DEPTH_FUNC, 1),
    ENTRY(GL_DEPTH_WRITEMASK, 1),
    ENTRY(GL_COLOR_WRITEMASK, 4),
    ENTRY(GL_CULL_FACE_MODE, 1),
    ENTRY(GL_FRONT_FACE, 1),
    ENTRY(GL_SHADE_MODEL, 1),
    ENTRY(GL_POLYGON_MODE, 2),
    ENTRY(GL_STENCIL_FUNC, 1),
    ENTRY(GL_STENCIL_REF, 1),
    ENTRY(GL_STENCIL_VALUE_MASK, 1),
    ENTRY(GL_STENCIL_WRITEMASK, 1),
    ENTRY(GL_STENCIL_FAIL, 1),
    ENTRY(GL_STENCIL_PASS_DEPTH_FAIL, 1),
    ENTRY(GL_STENCIL_PASS_DEPTH_PASS, 1),
    ENTRY(GL_STENCIL_BACK_FUNC, 1),
    ENTRY(GL_STENCIL_BACK_FAIL, 1),
    ENTRY(GL_STENCIL_BACK_PASS_DEPTH_FAIL, 1),
    ENTRY(GL_STENCIL_BACK_PASS_DEPTH_PASS, 1),
    ENTRY(GL_SCISSOR_BOX, 4),
    ENTRY(GL_VIEWPORT, 4),
};

const Entry kFloats[] = {
    ENTRY(GL_CURRENT_COLOR, 4),   ENTRY(GL_MODELVIEW_MATRIX, 16),   ENTRY(GL_PROJECTION_MATRIX, 16),
    ENTRY(GL_TEXTURE_MATRIX, 16), ENTRY(GL_LIGHT_MODEL_AMBIENT, 4), ENTRY(GL_COLOR_CLEAR_VALUE, 4),
};

#undef ENTRY

constexpr GLuint kAttributeArrays = 8;

std::vector<double> integers(GLenum pname, int count) {
    std::vector<GLint> read(static_cast<std::size_t>(count));
    glGetIntegerv(pname, read.data());
    return {read.begin(), read.end()};
}

std::vector<double> floats(GLenum pname, int count) {
    std::vector<GLfloat> read(static_cast<std::size_t>(count));
    glGetFloatv(pname, read.data());
    return {read.begin(), read.end()};
}

std::vector<double> pointer(GLenum pname) {
    GLvoid* read = nullptr;
    glGetPointerv(pname, &read);
    return {static_cast<double>(reinterpret_cast<std::uintptr_t>(read))};
}

std::string listed(const std::vector<double>& values) {
    std::ostringstream text;
    for (std::size_t i = 0; i < values.size(); ++i) {
        text << (i ? " " : "") << values[i];
    }
    return text.str();
}

} // namespace

GlStateSnapshot::GlStateSnapshot() {
    for (const Entry& entry : kEnables) {
        values[entry.name] = {static_cast<double>(glIsEnabled(entry.pname))};
    }
    for (int light = 0; light < 8; ++light) {
        values["GL_LIGHT" + std::to_string(light)] = {static_cast<double>(glIsEnabled(GL_LIGHT0 + light))};
    }
    for (const Entry& entry : kIntegers) {
        values[entry.name] = integers(entry.pname, entry.count);
    }
    for (const Entry& entry : kFloats) {
        values[entry.name] = floats(entry.pname, entry.count);
    }
    values["GL_VERTEX_ARRAY_POINTER"] = pointer(GL_VERTEX_ARRAY_POINTER);
    values["GL_TEXTURE_COORD_ARRAY_POINTER"] = pointer(GL_TEXTURE_COORD_ARRAY_POINTER);
    const SystemInfo* system = SystemInfo::getInstance();
    if (system->depthBoundsTest) {
        values["GL_DEPTH_BOUNDS_TEST_EXT"] = {static_cast<double>(glIsEnabled(GL_DEPTH_BOUNDS_TEST_EXT))};
        values["GL_DEPTH_BOUNDS_EXT"] = floats(GL_DEPTH_BOUNDS_EXT, 2);
    }
    if (system->depthClamp) {
        values["GL_DEPTH_CLAMP_NV"] = {static_cast<double>(glIsEnabled(GL_DEPTH_CLAMP_NV))};
    }
    for (GLuint attribute = 0; attribute < kAttributeArrays; ++attribute) {
        GLint enabled = 0;
        glGetVertexAttribiv(attribute, GL_VERTEX_ATTRIB_ARRAY_ENABLED, &enabled);
        values["attribute array " + std::to_string(attribute)] = {static_cast<double>(enabled)};
    }
    // Texturing is per unit: look at the first two and select the active one again.
    const GLint active = static_cast<GLint>(values["GL_ACTIVE_TEXTURE"][0]);
    for (GLenum unit = 0; unit < 2; ++unit) {
        glActiveTexture(GL_TEXTURE0 + unit);
        const std::string suffix = " unit " + std::to_string(unit);
        values["GL_TEXTURE_2D" + suffix] = {static_cast<double>(glIsEnabled(GL_TEXTURE_2D))};
        values["GL_TEXTURE_3D" + suffix] = {static_cast<double>(glIsEnabled(GL_TEXTURE_3D))};
    }
    glActiveTexture(static_cast<GLenum>(active));
}

const std::set<std::string> GlStateSnapshot::kSetBeforeUse = {
    "GL_TEXTURE_BINDING_2D",          "GL_TEXTURE_BINDING_3D",
    "GL_VERTEX_ARRAY_POINTER",        "GL_TEXTURE_COORD_ARRAY_POINTER",
    "GL_VERTEX_ARRAY_BUFFER_BINDING", "GL_TEXTURE_COORD_ARRAY_BUFFER_BINDING",
    "GL_VERTEX_ARRAY_SIZE",           "GL_TEXTURE_COORD_ARRAY_SIZE"};

std::string GlStateSnapshot::changesSince(const GlStateSnapshot& earlier,
                                          const std::set<std::string>& ignored) const {
    std::ostringstream changes;
    for (const auto& [name, now] : values) {
        if (ignored.contains(name)) {
            continue;
        }
        const auto before = earlier.values.find(name);
        if (before == earlier.values.end() || before->second != now) {
            changes << name << ": " << (before == earlier.values.end() ? "?" : listed(before->second))
                    << " -> " << listed(now) << "\n";
        }
    }
    return changes.str();
}
