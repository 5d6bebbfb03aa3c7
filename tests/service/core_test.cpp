#include "service/core.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

#include "platform/user_home.h"
#include "service/user_folders.h"

#include "support/engine_fixture.h"

namespace {

using CoreTest = CEngineTest;

TEST_F(CoreTest, ParsePathEndsInExactlyOneSlash) {
    EXPECT_EQ(m_core->parsePath("/data/site"), "/data/site/");
    EXPECT_EQ(m_core->parsePath("/data/site///"), "/data/site/");
    EXPECT_EQ(m_core->parsePath("/"), "/");
    EXPECT_EQ(m_core->parsePath(""), "");
}

TEST_F(CoreTest, RenameFolderNeverReplacesAnExistingFolder) {
    MakeTree(m_dir.Path(), {{"old/file", "x"}, {"taken/", ""}});
    int error = 0;
    EXPECT_EQ(m_core->renameFolder((m_dir / "old").c_str(), (m_dir / "taken").c_str(), &error), 0);
    EXPECT_EQ(error, EEXIST);
    EXPECT_EQ(ReadFileBytes(m_dir / "old/file"), "x");
    EXPECT_EQ(m_core->renameFolder((m_dir / "old").c_str(), (m_dir / "new").c_str(), &error), 1);
    EXPECT_EQ(ReadFileBytes(m_dir / "new/file"), "x");
}

// An XDG variable holding an absolute path wins, then HOME, then the
// password database; a relative value counts as unset and /tmp is never a
// fallback.
TEST(UserFolders, ComeFromXdgThenHomeThenThePasswordDatabase) {
    CTempDir dir;
    const std::string x = dir / "x", h = dir / "h", hs = h + "/", pw = PasswordDatabaseHome();
    const struct {
        const char *xdgConfig, *xdgData, *home;
        std::string config, data;
    } cases[] = {
        {x.c_str(), nullptr, h.c_str(), x + "/Vexa", h + "/.local/share/Vexa"},
        {"rel", x.c_str(), hs.c_str(), h + "/.config/Vexa", x + "/Vexa"},
        {"", nullptr, "also-relative", pw + "/.config/Vexa", pw + "/.local/share/Vexa"},
        {nullptr, nullptr, nullptr, pw + "/.config/Vexa", pw + "/.local/share/Vexa"},
    };
    std::vector<std::pair<const char*, std::optional<std::string>>> saved;
    for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "HOME"}) {
        const char* value = std::getenv(name);
        saved.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
    }
    for (const auto& c : cases) {
        const std::pair<const char*, const char*> vars[] = {
            {"XDG_CONFIG_HOME", c.xdgConfig}, {"XDG_DATA_HOME", c.xdgData}, {"HOME", c.home}};
        for (const auto& [name, value] : vars)
            value ? ::setenv(name, value, 1) : ::unsetenv(name);
        EXPECT_EQ(std::pair(UserConfigFolder(), UserDataFolder()), std::pair(c.config, c.data));
        EXPECT_FALSE(UserConfigFolder().starts_with("/tmp/Vexa"));
    }
    for (const auto& [name, value] : saved)
        value ? ::setenv(name, value->c_str(), 1) : ::unsetenv(name);
    EXPECT_FALSE(pw.empty());
}

}  // namespace
