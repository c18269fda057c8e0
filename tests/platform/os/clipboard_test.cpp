#include "Support.h"

#include "platform/os/Clipboard.h"

#include <gtest/gtest.h>

TEST(Clipboard, SetGetAndClearText)
{
    ostest::EnsureQtApp();
    ASSERT_TRUE(os::Clipboard::SetText("Tipo\tQtt\r\nPV\t12"));
    EXPECT_EQ(os::Clipboard::GetText(), "Tipo\tQtt\r\nPV\t12");
    os::Clipboard::SetText("Conexão");
    EXPECT_EQ(os::Clipboard::GetText(), "Conexão");
    os::Clipboard::Clear();
    EXPECT_EQ(os::Clipboard::GetText(), "");
}
