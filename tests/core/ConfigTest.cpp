#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <iniparser.h>
#include <set>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "LogCapture.h"
#include "TempDataRoot.h"
#include "core/Config.h"
#include "core/ConfigManager.h"
#include "core/Util.h"

namespace {

const char* kIni = "[Section]\n"
                   "hex = 0x10\n"
                   "octal = 010\n"
                   "decimal = -42\n"
                   "float = 2.5\n"
                   "name = Vorn\n"
                   "yes = yes\n"
                   "True = True\n"
                   "one = 1\n"
                   "no = no\n"
                   "off = off\n"
                   "empty =\n"
                   "[Other]\n";

std::string storedHash(const std::string& path) {
    dictionary* security = iniparser_load("../security");
    if (!security) {
        return "<no hash file>";
    }
    const std::string value = iniparser_getstring(security, ("hashes:" + path).c_str(), "<absent>");
    iniparser_freedict(security);
    return value;
}

// Whether every hash the file holds is whole: 40 upper-case hexadecimal digits.
bool wholeHashFile(const std::string& path) {
    dictionary* security = iniparser_load(path.c_str());
    if (!security) {
        return false;
    }
    bool whole = iniparser_getsecnkeys(security, "hashes") > 0;
    for (ssize_t i = 0; i < security->size; ++i) {
        const char* value = security->key[i] && security->val[i] ? security->val[i] : nullptr;
        whole = whole &&
                (!value || std::string(value).find_first_not_of("0123456789ABCDEF") == std::string::npos) &&
                (!value || std::strlen(value) == 40);
    }
    iniparser_freedict(security);
    return whole;
}

// A child process that changes its own configuration file again and again, each time
// constructing its Config; it exits with 1 when a hash could not be written.
pid_t startHashWriter(const std::string& name) {
    const pid_t child = fork();
    if (child == 0) {
        const LogCapture log;
        for (int round = 0; round < 150; ++round) {
            std::FILE* file = std::fopen(("../" + name).c_str(), "w");
            std::fprintf(file, "[a]\nround = %d\n", round);
            std::fclose(file);
            const Config config(("../" + name).c_str());
        }
        _exit(log.contains("Couldn't write hash to config file.") ? 1 : 0);
    }
    return child;
}

// What is left in the data root besides the configuration files: no temporary file may stay.
std::set<std::string> hashFiles(const std::filesystem::path& root) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(root)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("security", 0) == 0) {
            names.insert(name);
        }
    }
    return names;
}

} // namespace

class ConfigTest : public ::testing::Test {
protected:
    TempDataRoot data;
};

TEST_F(ConfigTest, LookupsConvertLikeTheLibraryFunctions) {
    data.write("test.ini", kIni);
    const Config config("../test.ini");
    EXPECT_EQ(config.getInt("Section:hex", 0), 16);
    EXPECT_EQ(config.getInt("Section:octal", 0), 8);
    EXPECT_EQ(config.getInt("SECTION:Decimal", 0), -42);
    EXPECT_FLOAT_EQ(config.getFloat("section:float", 0.0f), 2.5f);
    EXPECT_EQ(config.getString("section:name", "x"), "Vorn");
    EXPECT_EQ(config.getString("section:missing", "fallback"), "fallback");
    EXPECT_EQ(config.getInt("missing:key", 7), 7);
}

// Settings written by hand: a number that is none gives the default and says so.
TEST_F(ConfigTest, NumbersThatAreNoneGiveTheDefaultWithAWarning) {
    data.write("test.ini", "[s]\nzeroEight = 08\nzeroNineHundred = 0900\ntext = lots\ntrailing = 12abc\n"
                           "huge = 99999999999\nnan = nan\ninfinite = 1e99\nzero = 0\nnegative = -3\n"
                           "spaced = 5 \n");
    const LogCapture log;
    const Config config("../test.ini");
    EXPECT_EQ(config.getInt("s:zeroEight", -1), 8);
    EXPECT_EQ(config.getInt("s:zeroNineHundred", -1), 900);
    EXPECT_EQ(config.getInt("s:spaced", -1), 5);
    EXPECT_EQ(log.problems().size(), 0u) << "numbers with a leading zero are plain decimals";
    EXPECT_EQ(config.getInt("s:text", 7), 7);
    EXPECT_EQ(config.getInt("s:trailing", 7), 7);
    EXPECT_EQ(config.getInt("s:huge", 7), 7);
    EXPECT_FLOAT_EQ(config.getFloat("s:text", 2.5f), 2.5f);
    EXPECT_FLOAT_EQ(config.getFloat("s:nan", 2.5f), 2.5f);
    EXPECT_FLOAT_EQ(config.getFloat("s:infinite", 2.5f), 2.5f);
    EXPECT_EQ(log.count("WARN", "Setting 's:text' in ../test.ini is 'lots', not a whole number: 7 is used"),
              1);
    EXPECT_EQ(log.count("WARN", "Setting 's:nan' in ../test.ini is 'nan', not a number: 2.5 is used"), 1);
    EXPECT_EQ(log.problems().size(), 6u);

    // Sizes and capacities: 0 and below are out of range.
    EXPECT_EQ(config.getPositiveInt("s:zero", 640), 640);
    EXPECT_EQ(config.getPositiveInt("s:zeroEight", 640), 8);
    EXPECT_FLOAT_EQ(config.getPositiveFloat("s:negative", 20.0f), 20.0f);
    EXPECT_FLOAT_EQ(config.getPositiveFloat("s:text", 20.0f), 20.0f);
    EXPECT_EQ(log.count("WARN", "Setting 's:zero' in ../test.ini is 0, it must be above 0: 640 is used"), 1);
    EXPECT_EQ(log.count("WARN", "Setting 's:negative' in ../test.ini is -3, it must be above 0: 20 is used"),
              1);
}

TEST_F(ConfigTest, BooleansLookAtTheFirstCharacterOnly) {
    data.write("test.ini", kIni);
    const Config config("../test.ini");
    EXPECT_TRUE(config.getBool("section:yes", false));
    EXPECT_TRUE(config.getBool("section:true", false));
    EXPECT_TRUE(config.getBool("section:one", false));
    EXPECT_FALSE(config.getBool("section:no", true));
    // "off" starts with o: neither true nor false, the default wins.
    EXPECT_TRUE(config.getBool("section:off", true));
    EXPECT_FALSE(config.getBool("section:off", false));
    EXPECT_TRUE(config.getBool("section:empty", true));
    EXPECT_FALSE(config.getBool("section:empty", false));
}

TEST_F(ConfigTest, SectionsAreMatchedAsStoredInLowerCase) {
    data.write("test.ini", kIni);
    const Config config("../test.ini");
    EXPECT_TRUE(config.hasSection("section"));
    EXPECT_TRUE(config.hasSection("other"));
    EXPECT_FALSE(config.hasSection("Section"));
    EXPECT_FALSE(config.hasSection("hex"));
}

TEST_F(ConfigTest, MissingFileGivesDefaultsAndNoSections) {
    const Config config("../absent.ini");
    EXPECT_EQ(config.dictionary, nullptr);
    EXPECT_EQ(config.getInt("a:b", 3), 3);
    EXPECT_TRUE(config.getBool("a:b", true));
    EXPECT_FALSE(config.hasSection("a"));
}

TEST_F(ConfigTest, HashFileWrittenOnceForAnUnchangedFile) {
    data.write("test.ini", kIni);
    { const Config first("../test.ini"); }
    const std::string expected = Util::calcHash(Util::kConfigSalt, "../test.ini");
    ASSERT_EQ(expected.size(), 40u);
    EXPECT_EQ(storedHash("../test.ini"), expected);

    const auto writtenAt = std::filesystem::last_write_time(data.root() / "security");
    std::filesystem::last_write_time(data.root() / "security", writtenAt - std::chrono::hours(1));
    { const Config second("../test.ini"); }
    EXPECT_EQ(std::filesystem::last_write_time(data.root() / "security"), writtenAt - std::chrono::hours(1));
}

TEST_F(ConfigTest, OneByteChangeReplacesTheStoredHashAndKeepsTheOthers) {
    data.write("a.ini", "[a]\nkey = 1\n");
    data.write("b.ini", "[b]\nkey = 1\n");
    { const Config a("../a.ini"); }
    { const Config b("../b.ini"); }
    const std::string hashOfB = storedHash("../b.ini");

    data.write("a.ini", "[a]\nkey = 2\n");
    const Config changed("../a.ini");
    EXPECT_EQ(changed.getInt("a:key", 0), 2);
    EXPECT_EQ(storedHash("../a.ini"), Util::calcHash(Util::kConfigSalt, "../a.ini"));
    EXPECT_EQ(storedHash("../b.ini"), hashOfB);
    EXPECT_EQ(hashFiles(data.root()), std::set<std::string>{"security"});
}

TEST_F(ConfigTest, FailedHashWriteKeepsTheOldHashFile) {
    data.write("a.ini", "[a]\nkey = 1\n");
    { const Config a("../a.ini"); }
    const std::string before = data.read("security");
    data.write("a.ini", "[a]\nkey = 2\n");

    // A file size limit below the hash file's size makes the write fail, even for root.
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit previousLimit{};
    ::getrlimit(RLIMIT_FSIZE, &previousLimit);
    rlimit limit = previousLimit;
    limit.rlim_cur = 16;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
    { const Config a("../a.ini"); }
    ::setrlimit(RLIMIT_FSIZE, &previousLimit);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_EQ(data.read("security"), before);
    EXPECT_EQ(hashFiles(data.root()), std::set<std::string>{"security"});
}

// Two games on the same data tree write the hash file at the same time: each writes a
// temporary file of its own and renames it, so neither write fails, a reader never meets
// a half-written file and no temporary file stays.
TEST_F(ConfigTest, TwoWritersOfTheHashFileNeverMeetHalfAFile) {
    data.write("one.ini", "[a]\n");
    { const Config first("../one.ini"); }
    const pid_t writers[] = {startHashWriter("one.ini"), startHashWriter("two.ini")};
    ASSERT_GT(writers[0], 0);
    ASSERT_GT(writers[1], 0);
    int torn = 0;
    int statuses[] = {-1, -1};
    while (statuses[0] == -1 || statuses[1] == -1) {
        torn += wholeHashFile("../security") ? 0 : 1;
        for (int i = 0; i < 2; ++i) {
            int status = 0;
            if (statuses[i] == -1 && waitpid(writers[i], &status, WNOHANG) == writers[i]) {
                statuses[i] = status;
            }
        }
    }
    EXPECT_EQ(torn, 0);
    for (const int status : statuses) {
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a hash could not be written";
    }
    EXPECT_EQ(hashFiles(data.root()), std::set<std::string>{"security"});
}

// Found by fuzzing: a hash file edited into a section named like a key ended the game.
TEST_F(ConfigTest, HashFileWithASectionForTheKeyIsRepaired) {
    data.write("a.ini", "[a]\nkey = 1\n");
    data.write("security", "[hashes:../a.ini]\n");
    { const Config a("../a.ini"); }
    EXPECT_EQ(storedHash("../a.ini"), Util::calcHash(Util::kConfigSalt, "../a.ini"));
}

TEST_F(ConfigTest, MissingFileHasNoHashToStore) {
    { const Config config("../absent.ini"); }
    EXPECT_FALSE(std::filesystem::exists(data.root() / "security"));
}

TEST_F(ConfigTest, ManagerCachesByPathAndSetsTheRenderOptions) {
    data.write("Vorn.ini", "[GameSettings]\nshadows = false\n");
    data.write("objects.ini", "[ball]\nmass = 3\n");
    ConfigManager* manager = ConfigManager::getInstance();
    const Config* main = manager->getMainConfig();
    EXPECT_EQ(main->renderMode, 1);
    EXPECT_EQ(main->textureQuality, 1);
    EXPECT_EQ(main->mipmapQuality, 2);
    EXPECT_TRUE(main->displayLists && main->frustumCulling && main->geometryShader && main->zPass &&
                main->scissorTest);
    EXPECT_EQ(main->fireRenderMode, 1);
    EXPECT_FALSE(main->shadows);

    Config* objects = manager->getConfig("../objects.ini");
    EXPECT_EQ(objects, manager->getConfig("../objects.ini"));
    EXPECT_EQ(objects->getInt("ball:mass", 0), 3);
    EXPECT_NE(objects, main);
    ConfigManager::destroy();
}
