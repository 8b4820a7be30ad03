#include "config/AppPaths.h"
#include "config/ConfigAccess.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

using namespace kx::config;
using kx::test::TempDir;
namespace fs = std::filesystem;

TEST(AppPaths, folderAndProgramComeFromTheExecutablePath)
{
#ifdef _WIN32
    // Without a drive a path is not absolute on Windows.
    const AppPaths paths("C:/opt/kalmotex/bin/../bin/kalmotex");
    EXPECT_EQ(paths.AppFolder(), "C:/opt/kalmotex/bin/");
    EXPECT_EQ(paths.AppExePath(), "C:/opt/kalmotex/bin/kalmotex.exe");
#else
    const AppPaths paths("/opt/kalmotex/bin/../bin/kalmotex");
    EXPECT_EQ(paths.AppFolder(), "/opt/kalmotex/bin/");
    EXPECT_EQ(paths.AppExePath(), "/opt/kalmotex/bin/kalmotex");
#endif
    const AppPaths relative("kalmotex");
    EXPECT_TRUE(std::filesystem::path(relative.AppFolder()).is_absolute());
    EXPECT_EQ(relative.AppFolder().back(), '/');
}

namespace {

EnvironmentLookup fakeEnvironment(std::map<std::string, std::string> variables)
{
    return [variables](const std::string& name) -> std::optional<std::string> {
        const auto it = variables.find(name);
        if (it == variables.end())
            return std::nullopt;
        return it->second;
    };
}

} // namespace

TEST(AppPaths, configurationBesideAWritableProgramFolder)
{
    TempDir dir;
    const std::string folder = dir.path().string() + "/";
    const ConfigLocation location = locateConfig(folder, fakeEnvironment({ { "HOME", "/nonexistent" } }));
    EXPECT_TRUE(location.besideProgram);
    EXPECT_EQ(location.file, folder + "Kalmotex.ini");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 0)
        << "no probe left behind";
}

#ifndef _WIN32
TEST(AppPaths, configurationInTheUsersFolderOtherwise)
{
    TempDir dir;
    // A program folder that cannot take new files, even for root: it does not exist.
    const std::string programFolder = (dir.path() / "usr" / "bin").string();
    const std::string xdg = (dir.path() / "xdg").string();
    const std::string home = (dir.path() / "home").string();

    ConfigLocation location
        = locateConfig(programFolder, fakeEnvironment({ { "XDG_CONFIG_HOME", xdg }, { "HOME", home } }));
    EXPECT_FALSE(location.besideProgram);
    EXPECT_EQ(location.file, xdg + "/kalmotex/Kalmotex.ini");
    EXPECT_TRUE(std::filesystem::is_directory(xdg + "/kalmotex"));

    // An empty or relative XDG_CONFIG_HOME is ignored.
    for (const std::string ignored : { "", "relative/config" }) {
        location = locateConfig(programFolder,
            fakeEnvironment({ { "XDG_CONFIG_HOME", ignored }, { "HOME", home } }));
        EXPECT_EQ(location.file, home + "/.config/kalmotex/Kalmotex.ini") << ignored;
    }
    EXPECT_TRUE(std::filesystem::is_directory(home + "/.config/kalmotex"));
}
#endif
TEST(AppPaths, aPortableCopyOrABuildFolderKeepsEverythingBesideTheProgram)
{
    // A prefix as a package lays it out: bin/ for the programs, share/kalmotex/ for their files.
    TempDir dir;
    const std::string bin = withTrailingSlash((dir.path() / "usr" / "bin").generic_string());
    fs::create_directories(bin);
    fs::create_directories(dir.path() / "usr" / "share" / "kalmotex");
    dir.write("usr/share/kalmotex/sample.ini", "[Name]\r\n1=Gruß\r\n");
    dir.write("usr/share/kalmotex/hilfe.htm", "<html></html>");
    const auto environment = fakeEnvironment({ { "XDG_CONFIG_HOME", (dir.path() / "xdg").string() } });

    // A sample beside the program: a portable copy that happens to sit in a bin/ folder.
    dir.write("usr/bin/sample.ini", "");
    EXPECT_EQ(installedDataFolder(bin), std::nullopt);
    EXPECT_EQ(dataFolder(bin), bin);
    EXPECT_EQ(locateConfig(bin, environment).file, bin + "Kalmotex.ini");

    // Its sample deleted, its configuration still beside it.
    fs::remove(bin + "sample.ini");
    dir.write("usr/bin/Kalmotex.ini", "");
    EXPECT_EQ(dataFolder(bin), bin);
    EXPECT_TRUE(locateConfig(bin, environment).besideProgram);

    // A build folder: nothing shared beside it, or a shared folder without a sample.
    TempDir build;
    const std::string buildBin = withTrailingSlash((build.path() / "bin").generic_string());
    fs::create_directories(buildBin);
    EXPECT_EQ(dataFolder(buildBin), buildBin);
    fs::create_directories(build.path() / "share" / "kalmotex" / "sample.ini"); // a folder, not a file
    EXPECT_EQ(installedDataFolder(buildBin), std::nullopt);
    EXPECT_TRUE(locateConfig(buildBin, environment).besideProgram);
}
