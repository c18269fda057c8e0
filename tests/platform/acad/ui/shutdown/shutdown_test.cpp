// A request waiting when the program quits ends with "nobody to answer", never
// with an Escape that retrying callers would ask again for ever. (Its own
// program: once the application quits, no event loop of the process runs again.)

#include <gtest/gtest.h>

#include "platform/acad/ui/UiHarness.h"

#include <QCoreApplication>

TEST(Shutdown, RequestsEndWhenTheProgramQuits)
{
    uitest::Harness h;
    h.OnRequest([] { QCoreApplication::exit(0); });
    h.OnRequest([] {});  // never runs: the loop ends at once
    for (int attempt = 0; attempt < 2; ++attempt) {
        try {
            h.doc->Utility().GetPoint(std::nullopt, "Ponto de inserção: ");
            ADD_FAILURE() << "answered";
        } catch (const acad::Error& e) {
            EXPECT_EQ(e.Code(), acad::ErrorCode::NoInputSource) << e.Description();
        }
    }
    EXPECT_EQ(h.main->CurrentRequest(), nullptr);
}
