#pragma once

#include "core/Singleton.h"

#include <memory>
#include <optional>
#include <string>

#include "render/Shader.h"

// Loads the game's three GLSL programs and sets uniforms and vertex attributes
// by name on the current one. With "GameSettings:shader" off nothing is loaded
// and every setter does nothing, so drawing falls back to the fixed pipeline.
class ShaderManager : public Singleton<ShaderManager> {
    friend class Singleton<ShaderManager>;

public:
    // Loads all three programs; a missing one ends the program with "Shader error". A driver
    // short of the geometry program's GLSL version loses its geometry-shader flag first.
    void loadShaders();
    // Null when a source is missing or a stage does not compile or link. The
    // geometry stage is used only when `geometryFile` is given and the driver has geometry shaders.
    std::unique_ptr<Shader> loadShaderProgram(const char* geometryFile, const char* vertexFile,
                                              const char* fragmentFile);
    // The whole file, or nothing when it does not exist or cannot be read.
    std::optional<std::string> loadShader(const char* file);

    // Makes `shader` current in OpenGL and for the setters; null selects the fixed pipeline.
    void useProgram(Shader* shader);
    bool isEnabled() const { return enabled; }

    // Locations are -1 when shaders are off or the program has no such name.
    GLint getUniformLocation(const std::string& name);
    GLint getAttribLocation(const std::string& name);
    void setUniform1f(const std::string& name, float value);
    void setUniform3f(const std::string& name, float x, float y, float z);
    void setUniform1i(const std::string& name, int value);
    void setUniform1iv(const std::string& name, int count, const int* values);
    void setUniform1fv(const std::string& name, int count, const float* values);
    void setVertexAttrib3fv(const std::string& name, const float* values);
    void setVertexAttrib4fv(const std::string& name, const float* values);

    Shader* current = nullptr;
    std::unique_ptr<Shader> perPixel;
    std::unique_ptr<Shader> shadow;
    std::unique_ptr<Shader> shadowGeometry;
    bool enabled = true;

private:
    ShaderManager() = default;

    bool active() const { return enabled && current != nullptr; }
};
