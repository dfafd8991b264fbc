#pragma once

#include <map>
#include <mutex>
#include <optional>
#include <string>

struct _dictionary_;

// One loaded ini file. For the main configuration it also carries the render
// options that the keys toggle at run time. Constructing a Config keeps the
// salted hash of its file current in the hash file: "../security" in a build tree,
// the player's state folder for an installed game (GameFolders).
class Config {
public:
    explicit Config(const char* path);
    ~Config();
    Config(const Config&) = delete;
    Config& operator=(const Config&) = delete;

    // Keys are "section:key"; every lookup gives `def` when the file or the key is missing.
    // A number that is none (text, a number followed by text, beyond the type's range,
    // not finite) gives `def` too, with a warning that names the key and the value.
    std::string getString(const char* key, const char* def) const;
    int getInt(const char* key, int def) const;
    float getFloat(const char* key, float def) const;
    // Settings that only make sense above 0: anything else gives `def`, with a warning.
    int getPositiveInt(const char* key, int def) const;
    float getPositiveFloat(const char* key, float def) const;
    bool getBool(const char* key, bool def) const;
    bool hasKey(const char* key) const { return lookup(key).has_value(); }
    bool hasSection(const char* name) const;
    // A value that wins over the file's for `key` ("section:key"), for the player's own
    // settings; the file and its hash stay as they are.
    void setOverride(const std::string& key, const std::string& value);

    int renderMode = 0;
    int textureQuality = 0;
    int mipmapQuality = 0;
    bool displayLists = false;
    bool frustumCulling = false;
    bool geometryShader = false;
    bool zPass = false;
    bool scissorTest = false;
    bool shadows = false;
    int fireRenderMode = 0;
    // The share of the fire's particles drawn (0 to 1).
    float fireDetail = 1.0f;
    // The 3D scene is drawn at this fraction of the window's size and scaled up.
    float renderScale = 1.0f;
    std::string filename;
    _dictionary_* dictionary = nullptr;

    // The hash file of a tree that is written into.
    static constexpr const char* kHashFile = "../security";

private:
    std::optional<std::string> lookup(const char* key) const;
    void updateStoredHash() const;

    // Changed on the game thread while levels load and read the file's values.
    std::map<std::string, std::string> overrides;
    mutable std::mutex overridesMutex;
};
