#include "render/ShaderManager.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "core/ConfigManager.h"
#include "core/Log.h"
#include "render/SystemInfo.h"
#include "core/Util.h"

VORN_FILE_LOGGER("ShaderManager")

namespace {

struct Stage {
    const char* label;
    GLenum type;
    const std::string* source;
    GLuint* name;
};

GLuint compileStage(GLenum type, const std::string& source) {
    const GLuint shader = glCreateShader(type);
    const char* text = source.c_str();
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    return shader;
}

std::string shaderInfoLog(GLuint shader) {
    GLint length = 0;
    glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
    std::vector<char> log(static_cast<std::size_t>(std::max(length, 1)), '\0');
    glGetShaderInfoLog(shader, static_cast<GLsizei>(log.size()), nullptr, log.data());
    return log.data();
}

std::string programInfoLog(GLuint program) {
    GLint length = 0;
    glGetProgramiv(program, GL_INFO_LOG_LENGTH, &length);
    std::vector<char> log(static_cast<std::size_t>(std::max(length, 1)), '\0');
    glGetProgramInfoLog(program, static_cast<GLsizei>(log.size()), nullptr, log.data());
    return log.data();
}

// Drivers that only know geometry shaders from GLSL 1.50 refuse these
// parameters; the shader's own layout declaration then says the same.
void setGeometryParameters(GLuint program) {
    glProgramParameteriEXT(program, GL_GEOMETRY_INPUT_TYPE_EXT, GL_TRIANGLES_ADJACENCY_EXT);
    glProgramParameteriEXT(program, GL_GEOMETRY_OUTPUT_TYPE_EXT, GL_TRIANGLE_STRIP);
    glProgramParameteriEXT(program, GL_GEOMETRY_VERTICES_OUT_EXT, 18);
    if (glGetError() != GL_NO_ERROR) {
        LOG_DEBUG("Geometry program parameters not taken, the geometry shader declares its own layout");
    }
}

bool geometryShadersSupported() {
    return SystemInfo::getInstance()->geometryShader;
}

// The geometry program is written for GLSL 1.50. A driver that offers the
// extension but not that language version gets its shadow volumes from the CPU.
constexpr int kGeometryShadingLanguage = 150;

void dropGeometryShadersBelowTheirLanguage() {
    SystemInfo* system = SystemInfo::getInstance();
    if (system->geometryShader && system->shadingLanguageVersion < kGeometryShadingLanguage) {
        LOG_WARN("Geometry shaders need GLSL 1.50, the driver offers "
                 << system->shadingLanguageVersion / 100 << "." << system->shadingLanguageVersion % 100
                 << ": shadow volumes are built on the CPU");
        system->geometryShader = false;
    }
}

GLint cachedLocation(std::map<std::string, GLint>& cache, const std::string& name,
                     GLint (*query)(GLuint, const GLchar*), GLuint program) {
    const auto found = cache.find(name);
    if (found != cache.end()) {
        return found->second;
    }
    const GLint location = query(program, name.c_str());
    cache.emplace(name, location);
    return location;
}

GLint uniformQuery(GLuint program, const GLchar* name) {
    return glGetUniformLocation(program, name);
}

GLint attribQuery(GLuint program, const GLchar* name) {
    return glGetAttribLocation(program, name);
}

} // namespace

void ShaderManager::loadShaders() {
    enabled = ConfigManager::getInstance()->getMainConfig()->getBool("GameSettings:shader", true);
    if (!enabled) {
        return;
    }
    shadow = loadShaderProgram(nullptr, "../shaders/shadow.v", "../shaders/shadow.f");
    dropGeometryShadersBelowTheirLanguage();
    const bool geometry = geometryShadersSupported();
    if (geometry) {
        shadowGeometry = loadShaderProgram("../shaders/shadowGeometry.g", "../shaders/shadowGeometry.v",
                                           "../shaders/shadowGeometry.f");
    }
    perPixel = loadShaderProgram(nullptr, "../shaders/perPixel.v", "../shaders/perPixel.f");
    if (!shadow || (geometry && !shadowGeometry) || !perPixel) {
        Util::fatalError("Shader error",
                         "One or more shader programs could not be created - Check the Log for "
                         "Details. Vorn must exit now.");
    }
}

std::unique_ptr<Shader> ShaderManager::loadShaderProgram(const char* geometryFile, const char* vertexFile,
                                                         const char* fragmentFile) {
    const bool useGeometry = geometryFile != nullptr && geometryShadersSupported();
    auto shader = std::make_unique<Shader>();
    const std::optional<std::string> vertexSource = loadShader(vertexFile);
    const std::optional<std::string> fragmentSource = loadShader(fragmentFile);
    const std::optional<std::string> geometrySource =
        useGeometry ? loadShader(geometryFile) : std::optional<std::string>("");
    if (!vertexSource || !fragmentSource || !geometrySource) {
        LOG_FATAL("Shader '" << vertexFile << "|" << fragmentFile << (useGeometry ? "|" : "")
                             << (useGeometry ? geometryFile : "") << "' not found!");
        return nullptr;
    }
    shader->vertexSource = *vertexSource;
    shader->fragmentSource = *fragmentSource;
    shader->geometrySource = *geometrySource;

    std::vector<Stage> stages = {
        {"VertexShader", GL_VERTEX_SHADER, &shader->vertexSource, &shader->vertexShader},
        {"FragmentShader", GL_FRAGMENT_SHADER, &shader->fragmentSource, &shader->fragmentShader}};
    if (useGeometry) {
        stages.push_back(
            {"GeometryShader", GL_GEOMETRY_SHADER_EXT, &shader->geometrySource, &shader->geometryShader});
    }
    // All stages compile before any result is read, as the driver may compile them in parallel.
    std::vector<GLuint> compiled;
    for (const Stage& stage : stages) {
        compiled.push_back(compileStage(stage.type, *stage.source));
    }
    for (std::size_t i = 0; i < stages.size(); ++i) {
        GLint status = GL_FALSE;
        glGetShaderiv(compiled[i], GL_COMPILE_STATUS, &status);
        if (status != GL_TRUE) {
            LOG_FATAL(stages[i].label << " compile error: ");
            LOG_FATAL(shaderInfoLog(compiled[i]));
            for (std::size_t j = i; j < stages.size(); ++j) {
                glDeleteShader(compiled[j]);
            }
            return nullptr;
        }
        LOG_DEBUG(stages[i].label << " compiled successfully.");
        *stages[i].name = compiled[i];
    }

    shader->program = glCreateProgram();
    glAttachShader(shader->program, shader->vertexShader);
    glAttachShader(shader->program, shader->fragmentShader);
    if (useGeometry) {
        glAttachShader(shader->program, shader->geometryShader);
        setGeometryParameters(shader->program);
    }
    glLinkProgram(shader->program);
    GLint linked = GL_FALSE;
    glGetProgramiv(shader->program, GL_LINK_STATUS, &linked);
    if (linked != GL_TRUE) {
        LOG_FATAL("ShaderProgram linking error: ");
        LOG_FATAL(programInfoLog(shader->program));
        return nullptr;
    }
    LOG_DEBUG("ShaderProgram linked successfully.");
    return shader;
}

std::optional<std::string> ShaderManager::loadShader(const char* file) {
    std::error_code error;
    if (!std::filesystem::exists(file, error)) {
        return std::nullopt;
    }
    std::ifstream stream(file);
    if (!stream) {
        LOG_FATAL("Could not load shaderFile: " << file);
        return std::nullopt;
    }
    std::ostringstream text;
    text << stream.rdbuf();
    LOG_DEBUG("ShaderSource " << file << " loaded successfully.");
    return text.str();
}

void ShaderManager::useProgram(Shader* shader) {
    if (!enabled) {
        return;
    }
    current = shader;
    glUseProgram(shader ? shader->program : 0);
}

GLint ShaderManager::getUniformLocation(const std::string& name) {
    if (!active()) {
        return -1;
    }
    return cachedLocation(current->uniformLocations, name, uniformQuery, current->program);
}

GLint ShaderManager::getAttribLocation(const std::string& name) {
    if (!active()) {
        return -1;
    }
    return cachedLocation(current->attribLocations, name, attribQuery, current->program);
}

void ShaderManager::setUniform1f(const std::string& name, float value) {
    if (active()) {
        glUniform1f(getUniformLocation(name), value);
    }
}

void ShaderManager::setUniform3f(const std::string& name, float x, float y, float z) {
    if (active()) {
        glUniform3f(getUniformLocation(name), x, y, z);
    }
}

void ShaderManager::setUniform1i(const std::string& name, int value) {
    if (active()) {
        glUniform1i(getUniformLocation(name), value);
    }
}

void ShaderManager::setUniform1iv(const std::string& name, int count, const int* values) {
    if (active()) {
        glUniform1iv(getUniformLocation(name), count, values);
    }
}

void ShaderManager::setUniform1fv(const std::string& name, int count, const float* values) {
    if (active()) {
        glUniform1fv(getUniformLocation(name), count, values);
    }
}

void ShaderManager::setVertexAttrib3fv(const std::string& name, const float* values) {
    const GLint location = getAttribLocation(name);
    if (location >= 0) {
        glVertexAttrib3fv(static_cast<GLuint>(location), values);
    }
}

void ShaderManager::setVertexAttrib4fv(const std::string& name, const float* values) {
    const GLint location = getAttribLocation(name);
    if (location >= 0) {
        glVertexAttrib4fv(static_cast<GLuint>(location), values);
    }
}
