#pragma once

#include <GL/glew.h>
#include <map>
#include <string>

// One linked GLSL program with its sources and the locations asked for so far.
// Owns its OpenGL shaders and program; a stage that is not used keeps name 0.
class Shader {
public:
    Shader() = default;
    ~Shader();
    Shader(const Shader&) = delete;
    Shader& operator=(const Shader&) = delete;

    std::string vertexSource;
    std::string geometrySource;
    std::string fragmentSource;
    GLuint vertexShader = 0;
    GLuint fragmentShader = 0;
    GLuint geometryShader = 0;
    GLuint program = 0;
    // Every answer is kept, -1 for names the program does not have.
    std::map<std::string, GLint> uniformLocations;
    std::map<std::string, GLint> attribLocations;
};
