// The levels of detail of the view judged against the view without a budget
// (detail_oracle.h): the generated drawings (detail_drawings.h) and every
// drawing among the tests, opened in the window and zoomed from their extents
// down to 1/4096 of them, each zoom closer on something drawn. Wherever the
// frame within the budget draws every reference (none as its outline), it
// inks the pixels the frame without a budget inks, to within one and in the
// same colours; everywhere, a crossing, a window, a pick, a nested pick and
// an object snap at points drawn answer as they do without a budget.

#include <gtest/gtest.h>

#include "UiHarness.h"
#include "../detail_drawings.h"
#include "../detail_oracle.h"

#include <QFontDatabase>
#include <QFont>
#include <QFontDatabase>
#include <QImage>
#include <QPointF>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "platform/acad/DxfFile.h"
#include "platform/acad/Error.h"
#include "platform/acad/SelectionSetQuery.h"
#include "platform/acad/TextMetrics.h"
#include "platform/acad/Work.h"
#include "platform/acad/ui/SceneRenderer.h"

#include <unistd.h>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define DETAIL_ORACLE_SANITIZED 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define DETAIL_ORACLE_SANITIZED 1
#endif

using uitest::Harness;

namespace {

#ifdef DETAIL_ORACLE_SANITIZED
// Under the sanitizers, every tenth frame costs a second: fewer zooms, and
// one drawing of the tests in three.
constexpr int kZooms = 6;
constexpr std::size_t kEveryNthFile = 3;
#else
constexpr int kZooms = 12;
constexpr std::size_t kEveryNthFile = 1;
#endif
// Points drawn at which each zoom walks, besides its centre.
constexpr std::size_t kWalkPoints = 3;
// Past this many parts drawn looking all the way in, a frame without a
// budget takes longer than a test should: no frame to judge by.
constexpr double kWholeParts = 300000;

class DetailOracle : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder_ = std::filesystem::temp_directory_path() / ("acadui-detail-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder_);
        // The platform's own fonts live in statics destroyed at exit, after
        // the data of the font engines: once texts were drawn at many sizes
        // (the engines' cache trimmed), they would release engines then.
        // Copies that are never destroyed keep them from it.
        static const auto* platformFonts = new std::array<QFont, 2>{
            QFontDatabase::systemFont(QFontDatabase::GeneralFont), QFontDatabase::systemFont(QFontDatabase::FixedFont)};
        (void)platformFonts;
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    // `doc` shown in the window, zoomed from its extents down to 1/4096 of
    // them, each zoom centred on a pixel the one before inked: a failure for
    // each way the budget changed what a zoom shows or answers. Returns the
    // frames compared (drawn, not outlined).
    int Judge(acad::Document& doc, const std::string& name, std::uint64_t seed)
    {
        h.app.SetActiveDocument(doc);
        Harness::Process();
        h.app.ZoomExtents();
        const acad::View& view = doc.ActiveView();
        const std::vector<double> heights = detail_oracle::Heights(view.Height(), kZooms);
        acad::Point3d center = view.Center();
        detail_oracle::Numbers numbers(seed);
        acad::ui::SceneRenderer renderer;
        int compared = 0;
        for (int k = 0; k < kZooms; ++k) {
            if (k > 0) h.app.ZoomCenter(center, heights[static_cast<std::size_t>(k)]);
            const std::string where = name + ", zoom " + std::to_string(k) + " (height " +
                                      std::to_string(heights[static_cast<std::size_t>(k)]) + ")";
            const QImage bounded = h.Grab();
            const acad::ui::RenderStats drawn = h.view->LastStats();
            const auto mapping = h.view->DisplayMapping();
            if (!mapping) {
                ADD_FAILURE() << where << ": the view has no mapping";
                return compared;
            }
            QImage whole;
            {
                acad::Unbudgeted all;
                whole = detail_oracle::Draw(renderer, doc, *mapping, bounded.size());
            }
            if (drawn.coarse.empty()) {
                ++compared;
                const std::string lost = detail_oracle::InkedApart(whole, bounded);
                EXPECT_EQ(lost, "") << where << ": inked without a budget, not within it";
                const std::string added = detail_oracle::InkedApart(bounded, whole);
                EXPECT_EQ(added, "") << where << ": inked within the budget, not without it";
            }
            // The next zoom closes in on one of them.
            std::vector<QPointF> points = detail_oracle::InkedPixels(whole, kWalkPoints + 1, numbers);
            if (!points.empty()) center = h.WorldAt(points.back());
            points.push_back(QPointF(bounded.width() / 2.0, bounded.height() / 2.0));
            for (const QPointF& px : points) {
                const acad::Point3d at = h.WorldAt(px);
                EXPECT_EQ(detail_oracle::WalksApart(doc, at), "")
                    << where << ", walks at pixel (" << px.x() << ", " << px.y() << ")";
            }
        }
        return compared;
    }

    Harness h;
    std::filesystem::path folder_;
};

// The generated drawings, written and opened as a person opens them: each
// zoom of each fits the budget, and is judged whole.
TEST_F(DetailOracle, GeneratedDrawingsShowAndAnswerWhatTheyShowWithoutABudget)
{
    for (const detail_drawings::Generated& g : detail_drawings::kGenerated) {
        const auto file = folder_ / (std::string(g.name) + ".dxf");
        {
            acad::Document source;
            detail_drawings::Build(source, g);
            acad::WriteDxf(source, file);
        }
        acad::Document* doc = h.app.Documents().Open(file.string());
        ASSERT_NE(doc, nullptr) << g.name;
        EXPECT_EQ(Judge(*doc, g.name, g.seed), kZooms) << g.name << ": every zoom drawn, none outlined";
        h.app.Documents().Close(*doc);
    }
}

// Every drawing among the tests that opens.
TEST_F(DetailOracle, EveryTestDrawingShowsAndAnswersWhatItShowsWithoutABudget)
{
    const std::filesystem::path tests = std::filesystem::path(std::getenv("QUORIL_SOURCE_DIR")) / "tests";
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(tests))
        if (entry.is_regular_file() && entry.path().extension() == ".dxf") files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    ASSERT_GE(files.size(), 30u);
    int opened = 0, compared = 0, beyond = 0;
    for (std::size_t i = 0; i < files.size(); i += kEveryNthFile) {
        const std::string name = std::filesystem::relative(files[i], tests).string();
        // Each from a copy of its own: a drawing opened is not the test's to change.
        const auto copy = folder_ / files[i].filename();
        std::filesystem::copy_file(files[i], copy, std::filesystem::copy_options::overwrite_existing);
        acad::Document* doc = nullptr;
        try {
            doc = h.app.Documents().Open(copy.string());
        } catch (const acad::Error&) {
            continue;  // a damaged drawing the reader refuses
        }
        ++opened;
        if (detail_oracle::WholeParts(*doc, acad::selection::CurrentSpace(*doc), kWholeParts) >= kWholeParts)
            ++beyond;  // a grid of a thousand million copies
        else
            compared += Judge(*doc, name, 61 + i);
        h.app.Documents().Close(*doc);
    }
    EXPECT_GE(opened, static_cast<int>(files.size() / kEveryNthFile) - 10);
    EXPECT_LE(beyond, 2);
    EXPECT_GE(compared, (opened - beyond) * kZooms / 2) << "most frames drawn, not outlined";
}

}  // namespace
