#pragma once

#include "core/Singleton.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "core/Config.h"

// Owns the main configuration "../Vorn.ini" and a cache of further ini files by path.
class ConfigManager : public Singleton<ConfigManager> {
    friend class Singleton<ConfigManager>;

public:
    Config* getConfig(const std::string& path);
    Config* getMainConfig() const { return mainConfig.get(); }

    static constexpr const char* kMainConfigFile = "../Vorn.ini";

private:
    ConfigManager();

    std::map<std::string, std::unique_ptr<Config>> configs;
    std::unique_ptr<Config> mainConfig;
    std::mutex configsMutex;
};
