// What the services do when no application runs (a tool, or a test of the
// system's code without windows): fail plainly, never crash.

#include "platform/os/Clipboard.h"
#include "platform/os/FileDialog.h"
#include "platform/os/ShellOpen.h"
#include "platform/os/Window.h"

#include <gtest/gtest.h>

TEST(NoApplication, ServicesFailPlainly)
{
    EXPECT_FALSE(os::Clipboard::SetText("x"));
    EXPECT_EQ(os::Clipboard::GetText(), "");
    EXPECT_TRUE(os::TopLevelWindows().empty());
    EXPECT_FALSE(os::ActivateWindow("Quoril Host"));
    EXPECT_FALSE(os::SendEscape("Quoril Host"));

    const auto r = os::ShowOpenDialog({});
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, os::kDialogFailure);
    EXPECT_EQ(os::BrowseForFolder("Pasta").error, os::kDialogFailure);

    // With a driver the dialogs work without an application.
    os::ScopedDialogDriver driver([](const os::DialogRequest&) { return os::DialogAnswer::Cancel(); });
    const auto c = os::ShowSaveDialog({});
    EXPECT_FALSE(c.ok);
    EXPECT_EQ(c.error, 0);
}
