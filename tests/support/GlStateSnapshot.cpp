#include "GlStateSnapshot.h"

#include <GL/glew.h>
#include <cstdint>
#include <sstream>

namespace {

std::vector<double> floats(GLenum name, int count) {
    std::vector<GLfloat> read(static_cast<std::size_t>(count));
    glGetFloatv(name, read.data());
    return {read.begin(), read.end()};
}

std::vector<double> integer(GLenum name) {
    GLint value = 0;
    glGetIntegerv(name, &value);
    return {static_cast<double>(value)};
}

std::vector<double> pointer(GLenum name) {
    void* value = nullptr;
    glGetPointerv(name, &value);
    return {static_cast<double>(reinterpret_cast<std::uintptr_t>(value))};
}

std::string join(const std::vector<double>& numbers) {
    std::ostringstream text;
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        text << (i ? " " : "") << numbers[i];
    }
    return text.str();
}

} // namespace

GlStateSnapshot GlStateSnapshot::take() {
    GlStateSnapshot snapshot;
    auto& v = snapshot.values;
    const std::pair<const char*, GLenum> enables[] = {{"lighting", GL_LIGHTING},
                                                      {"texture 2D", GL_TEXTURE_2D},
                                                      {"blend", GL_BLEND},
                                                      {"depth test", GL_DEPTH_TEST},
                                                      {"cull face", GL_CULL_FACE},
                                                      {"alpha test", GL_ALPHA_TEST},
                                                      {"colour material", GL_COLOR_MATERIAL},
                                                      {"scissor test", GL_SCISSOR_TEST},
                                                      {"stencil test", GL_STENCIL_TEST},
                                                      {"vertex array", GL_VERTEX_ARRAY},
                                                      {"normal array", GL_NORMAL_ARRAY},
                                                      {"colour array", GL_COLOR_ARRAY},
                                                      {"texture coordinate array", GL_TEXTURE_COORD_ARRAY}};
    for (const auto& [name, cap] : enables) {
        v[name] = {static_cast<double>(glIsEnabled(cap))};
    }
    v["vertex pointer"] = pointer(GL_VERTEX_ARRAY_POINTER);
    v["texture coordinate pointer"] = pointer(GL_TEXTURE_COORD_ARRAY_POINTER);
    v["colour"] = floats(GL_CURRENT_COLOR, 4);
    v["texture binding 2D"] = integer(GL_TEXTURE_BINDING_2D);
    v["active texture"] = integer(GL_ACTIVE_TEXTURE);
    v["array buffer"] = integer(GL_ARRAY_BUFFER_BINDING);
    v["program"] = integer(GL_CURRENT_PROGRAM);
    v["matrix mode"] = integer(GL_MATRIX_MODE);
    v["modelview"] = floats(GL_MODELVIEW_MATRIX, 16);
    v["projection"] = floats(GL_PROJECTION_MATRIX, 16);
    v["texture matrix"] = floats(GL_TEXTURE_MATRIX, 16);
    v["modelview depth"] = integer(GL_MODELVIEW_STACK_DEPTH);
    v["projection depth"] = integer(GL_PROJECTION_STACK_DEPTH);
    v["attribute depth"] = integer(GL_ATTRIB_STACK_DEPTH);
    v["client attribute depth"] = integer(GL_CLIENT_ATTRIB_STACK_DEPTH);
    v["blend source"] = integer(GL_BLEND_SRC);
    v["blend destination"] = integer(GL_BLEND_DST);
    v["depth mask"] = integer(GL_DEPTH_WRITEMASK);
    v["unpack alignment"] = integer(GL_UNPACK_ALIGNMENT);
    return snapshot;
}

std::string GlStateSnapshot::differences(const GlStateSnapshot& after) const {
    std::string text;
    for (const auto& [name, before] : values) {
        const auto found = after.values.find(name);
        if (found != after.values.end() && found->second != before) {
            text += name + ": " + join(before) + " -> " + join(found->second) + "\n";
        }
    }
    return text;
}
