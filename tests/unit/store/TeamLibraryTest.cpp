#include "store/TeamLibrary.h"
#include "config/ConfigAccess.h"
#include "store/Entry.h"
#include "support/SequenceRandom.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <thread>

namespace kx::store {
namespace {

TEST(TeamLibrary, twoPeopleWritingTheTeamFileAtOnceLoseNothing)
{
    test::TempDir dir;
    const std::string own = dir.write("Kalmotex.ini", "[Common]\r\nTeamFile=team.ini\r\n").string();
    const auto writeMany = [&own](std::string who, int first) {
        // Each with a program of their own, as two people on one share would have.
        config::ConfigAccess config(own);
        test::SequenceRandom random({ 0.5 });
        TeamLibrary team(random);
        team.refresh(config);
        for (int number = first; number < first + 20; ++number)
            EXPECT_TRUE(team.writeEntry(number, { who + std::to_string(number), "", "", false, false }).ok());
    };
    std::thread anna(writeMany, "Anna", 1);
    std::thread bernd(writeMany, "Bernd", 21);
    anna.join();
    bernd.join();
    config::ConfigAccess team(dir.file("team.ini").string());
    for (int number = 1; number <= 40; ++number)
        EXPECT_EQ(team.readIniString("Name", std::to_string(number), ""),
            (number <= 20 ? "Anna" : "Bernd") + std::to_string(number));
}

} // namespace
} // namespace kx::store
