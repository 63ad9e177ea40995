// Where the player's files go: $XDG_DATA_HOME (or ~/.local/share) and the game's own
// folders below it, made on first use.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <string>

#include "engine/Strings.h"
#include "engine/SystemHelpers.h"
#include "support/ScopedVariable.h"
#include "support/TempFolder.h"

namespace {
constexpr char kGameFolders[] = "/Quorrel studios/Torvane2Xmas/2.79";

// The permission bits of a folder, or -1 when it is not one.
int folderMode(const std::string& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return -1;
    return static_cast<int>(st.st_mode & 07777);
}
}  // namespace

TEST(DataFolderTest, EveryMissingFolderDownFromTheBaseIsMadeForTheUserAlone) {
    TempFolder root;
    chmod(root.path.c_str(), 0755);
    const std::string base = root.file("fresh/account/data");
    ScopedVariable xdg("XDG_DATA_HOME", base.c_str());
    EXPECT_EQ(getDataFolder(), utf8ToWide(base + kGameFolders + "/"));
    for (const std::string& made : {root.file("fresh"), root.file("fresh/account"), base, base + "/Quorrel studios",
                                    base + "/Quorrel studios/Torvane2Xmas", base + kGameFolders})
        EXPECT_EQ(folderMode(made), 0700) << made;
    EXPECT_EQ(folderMode(root.path), 0755);  // a folder already there is left as it is
    std::ofstream(base + kGameFolders + "/Torvane2Xmas.cfg") << "kept";
    EXPECT_EQ(TempFolder::read(wideToUtf8(getDataFolder()) + "Torvane2Xmas.cfg"), "kept");
}

TEST(DataFolderTest, WithoutXdgDataHomeTheFolderIsMadeUnderHomeAndLocalShare) {
    TempFolder home;
    ScopedVariable xdg("XDG_DATA_HOME", nullptr);
    ScopedVariable homeVariable("HOME", home.path.c_str());
    EXPECT_EQ(getDataFolder(), utf8ToWide(home.path + "/.local/share" + kGameFolders + "/"));
    EXPECT_EQ(folderMode(home.file(".local")), 0700);
    EXPECT_EQ(folderMode(home.path + "/.local/share" + kGameFolders), 0700);
}

TEST(DataFolderTest, AFolderThatCannotBeMadeStillNamesWhereTheFilesWouldGo) {
    TempFolder root;
    std::ofstream(root.file("file")) << "in the way";
    const std::string base = root.file("file/data");
    ScopedVariable xdg("XDG_DATA_HOME", base.c_str());
    EXPECT_EQ(getDataFolder(), utf8ToWide(base + kGameFolders + "/"));
    EXPECT_EQ(TempFolder::read(root.file("file")), "in the way");
}
