#include "config/ConfigAccess.h"
#include "store/Options.h"
#include "support/ScriptedPrompts.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using kx::config::ConfigAccess;
using kx::store::showNoticeOnce;
using kx::test::ScriptedPrompts;
using kx::test::TempDir;

namespace {

const std::string kText = "Nur X11-Fenster sind erreichbar.";

TEST(NoticeOnce, isShownAtTheFirstStartOnly)
{
    TempDir dir;
    ConfigAccess config { dir.file("Kalmotex.ini").string() };
    ScriptedPrompts prompts;
    prompts.answerMessage(kText);

    EXPECT_TRUE(showNoticeOnce(config, prompts, "XwaylandNoticeShown", kText));
    EXPECT_FALSE(showNoticeOnce(config, prompts, "XwaylandNoticeShown", kText));

    EXPECT_TRUE(prompts.wentAsScripted());
    EXPECT_EQ(config.readIniString("Common", "XwaylandNoticeShown", ""), "1");
}

} // namespace
