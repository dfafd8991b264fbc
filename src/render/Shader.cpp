#include "render/Shader.h"

Shader::~Shader() {
    for (const GLuint shader : {vertexShader, fragmentShader, geometryShader}) {
        if (shader != 0) {
            glDeleteShader(shader);
        }
    }
    if (program != 0) {
        glDeleteProgram(program);
    }
}
