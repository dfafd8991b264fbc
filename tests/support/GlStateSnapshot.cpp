#include "GlStateSnapshot.h"

#include <GL/glew.h>
#include <cstdint>
#include <sstream>

namespace {

std::string join(const std::vector<double>& numbers) {
    std::ostringstream text;
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        text << (i ? " " : "") << numbers[i];
    }
    return text.str();
}

} // namespace

GlStateSnapshot::GlStateSnapshot() {
    for (const auto& [name, capability] : std::vector<std::pair<const char*, GLenum>>{
             {"GL_BLEND", GL_BLEND},
             {"GL_DEPTH_TEST", GL_DEPTH_TEST},
             {"GL_LIGHTING", GL_LIGHTING},
             {"GL_CULL_FACE", GL_CULL_FACE},
             {"GL_ALPHA_TEST", GL_ALPHA_TEST},
             {"GL_STENCIL_TEST", GL_STENCIL_TEST},
             {"GL_SCISSOR_TEST", GL_SCISSOR_TEST},
             {"GL_COLOR_MATERIAL", GL_COLOR_MATERIAL},
             {"GL_NORMALIZE", GL_NORMALIZE},
             {"GL_FOG", GL_FOG},
             {"GL_TEXTURE_1D", GL_TEXTURE_1D},
             {"GL_TEXTURE_2D", GL_TEXTURE_2D},
             {"GL_TEXTURE_3D", GL_TEXTURE_3D},
             {"GL_TEXTURE_CUBE_MAP", GL_TEXTURE_CUBE_MAP},
             {"GL_LIGHT0", GL_LIGHT0},
             {"GL_LIGHT1", GL_LIGHT1},
             {"GL_VERTEX_ARRAY", GL_VERTEX_ARRAY},
             {"GL_NORMAL_ARRAY", GL_NORMAL_ARRAY},
             {"GL_COLOR_ARRAY", GL_COLOR_ARRAY},
             {"GL_TEXTURE_COORD_ARRAY", GL_TEXTURE_COORD_ARRAY},
         }) {
        readEnabled(name, capability);
    }
    readIntegers("GL_DEPTH_WRITEMASK", GL_DEPTH_WRITEMASK);
    readIntegers("GL_COLOR_WRITEMASK", GL_COLOR_WRITEMASK, 4);
    readIntegers("GL_DEPTH_FUNC", GL_DEPTH_FUNC);
    readIntegers("GL_BLEND_SRC_RGB", GL_BLEND_SRC_RGB);
    readIntegers("GL_BLEND_DST_RGB", GL_BLEND_DST_RGB);
    readIntegers("GL_BLEND_SRC_ALPHA", GL_BLEND_SRC_ALPHA);
    readIntegers("GL_BLEND_DST_ALPHA", GL_BLEND_DST_ALPHA);
    readIntegers("GL_CULL_FACE_MODE", GL_CULL_FACE_MODE);
    readIntegers("GL_SHADE_MODEL", GL_SHADE_MODEL);
    readIntegers("GL_CURRENT_PROGRAM", GL_CURRENT_PROGRAM);
    readIntegers("GL_ACTIVE_TEXTURE", GL_ACTIVE_TEXTURE);
    readIntegers("GL_CLIENT_ACTIVE_TEXTURE", GL_CLIENT_ACTIVE_TEXTURE);
    readIntegers("GL_TEXTURE_BINDING_2D", GL_TEXTURE_BINDING_2D);
    readIntegers("GL_TEXTURE_BINDING_3D", GL_TEXTURE_BINDING_3D);
    readIntegers("GL_ARRAY_BUFFER_BINDING", GL_ARRAY_BUFFER_BINDING);
    readIntegers("GL_ELEMENT_ARRAY_BUFFER_BINDING", GL_ELEMENT_ARRAY_BUFFER_BINDING);
    readIntegers("GL_VERTEX_ARRAY_BUFFER_BINDING", GL_VERTEX_ARRAY_BUFFER_BINDING);
    readIntegers("GL_TEXTURE_COORD_ARRAY_BUFFER_BINDING", GL_TEXTURE_COORD_ARRAY_BUFFER_BINDING);
    readIntegers("GL_VERTEX_ARRAY_SIZE", GL_VERTEX_ARRAY_SIZE);
    readIntegers("GL_TEXTURE_COORD_ARRAY_SIZE", GL_TEXTURE_COORD_ARRAY_SIZE);
    readIntegers("GL_MATRIX_MODE", GL_MATRIX_MODE);
    readPointer("GL_VERTEX_ARRAY_POINTER", GL_VERTEX_ARRAY_POINTER);
    readPointer("GL_TEXTURE_COORD_ARRAY_POINTER", GL_TEXTURE_COORD_ARRAY_POINTER);
    readFloats("GL_CURRENT_COLOR", GL_CURRENT_COLOR, 4);
    readFloats("GL_MODELVIEW_MATRIX", GL_MODELVIEW_MATRIX, 16);
    readFloats("GL_PROJECTION_MATRIX", GL_PROJECTION_MATRIX, 16);
}

void GlStateSnapshot::readEnabled(const char* name, unsigned capability) {
    values.push_back({name, {glIsEnabled(capability) ? 1.0 : 0.0}});
}

void GlStateSnapshot::readIntegers(const char* name, unsigned parameter, int count) {
    std::vector<GLint> read(static_cast<std::size_t>(count));
    glGetIntegerv(parameter, read.data());
    values.push_back({name, std::vector<double>(read.begin(), read.end())});
}

void GlStateSnapshot::readFloats(const char* name, unsigned parameter, int count) {
    std::vector<GLfloat> read(static_cast<std::size_t>(count));
    glGetFloatv(parameter, read.data());
    values.push_back({name, std::vector<double>(read.begin(), read.end())});
}

void GlStateSnapshot::readPointer(const char* name, unsigned parameter) {
    GLvoid* pointer = nullptr;
    glGetPointerv(parameter, &pointer);
    values.push_back({name, {static_cast<double>(reinterpret_cast<std::uintptr_t>(pointer))}});
}

std::vector<std::string> GlStateSnapshot::differencesTo(const GlStateSnapshot& later) const {
    std::vector<std::string> differences;
    for (std::size_t i = 0; i < values.size() && i < later.values.size(); ++i) {
        if (values[i].numbers != later.values[i].numbers) {
            differences.push_back(values[i].name + ": " + join(values[i].numbers) + " -> " +
                                  join(later.values[i].numbers));
        }
    }
    return differences;
}
