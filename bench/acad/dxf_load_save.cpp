// Load and save of a 100,000-entity drawing: lines, lightweight polylines,
// texts and block references with attributes, as a sewer network drawing
// holds them. Target: under 0.5 s each. Also: opening such a drawing of 100,000
// and 1,000,000 entities against a bare pass over the same file (groups split,
// numbers parsed, nothing kept); target: within 2× it. Last, opening each small
// file whose blocks multiply what a view draws.

#include <benchmark/benchmark.h>

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <string_view>
#include <vector>

#include <unistd.h>

#include "../../tests/platform/acad/heavy_drawings.h"
#include "platform/acad/Acad.h"
#include "platform/acad/DxfFile.h"

namespace {

constexpr int kEntities = 100000;

void BuildNetwork(acad::Document& doc, int count)
{
    using acad::Point3d;
    doc.Layers().Add("REDE");
    doc.Layers().Add("TEXTO_PV");
    acad::Block* pv = doc.Blocks().Add({0, 0, 0}, "E-PV");
    pv->AddCircle({0, 0, 0}, 1.0);
    pv->AddAttribute(1.5, 0, "", {2, 0, 0}, "NOME", "");
    pv->AddAttribute(1.5, 0, "", {2, -2, 0}, "CT", "");
    acad::Block& ms = doc.ModelSpace();
    for (int i = 0; i < count; ++i) {
        const double x = (i % 400) * 25.0, y = (i / 400) * 25.0;
        switch (i % 20) {
        case 0:
        case 1:
        case 2:
        case 3:
        case 4:
        case 5:
        case 6:
        case 7: {  // 40 %
            acad::Line* l = ms.AddLine({x, y, 100.0 + i * 0.001}, {x + 20.5, y + 3.25, 99.5});
            l->SetLayer("REDE");
            break;
        }
        case 8:
        case 9:
        case 10:
        case 11:
        case 12: {  // 25 %
            auto* p = ms.AddLightWeightPolyline({x, y, x + 5, y + 1, x + 10, y, x + 15, y + 2, x + 20, y});
            p->SetBulge(1, 0.25);
            break;
        }
        case 13:
        case 14:
        case 15:
        case 16: {  // 20 %
            auto* t = ms.AddText("PV-" + std::to_string(i), {x, y + 3, 0}, 2.5);
            t->SetLayer("TEXTO_PV");
            break;
        }
        default: {  // 15 %, two attributes each
            auto* r = ms.InsertBlock({x, y, 0}, "E-PV", 1, 1, 1, 0);
            auto attrs = r->GetAttributes();
            attrs[0]->SetTextString("PV-" + std::to_string(i));
            attrs[1]->SetTextString("102.35");
            break;
        }
        }
    }
}

std::filesystem::path BenchFile()
{
    return std::filesystem::temp_directory_path() / ("quoril-bench-dxf-" + std::to_string(::getpid()) + ".dwg");
}

void BM_DxfSave(benchmark::State& state)
{
    acad::Document doc;
    BuildNetwork(doc, kEntities);
    const auto path = BenchFile();
    for (auto _ : state) acad::WriteDxf(doc, path);
    state.counters["MB"] = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
    std::filesystem::remove(path);
}

void BM_DxfLoad(benchmark::State& state)
{
    const auto path = BenchFile();
    {
        acad::Document doc;
        BuildNetwork(doc, kEntities);
        acad::WriteDxf(doc, path);
    }
    std::size_t read = 0;
    for (auto _ : state) {
        auto doc = std::make_unique<acad::Document>();
        acad::ReadDxf(*doc, path);
        read = static_cast<std::size_t>(doc->ModelSpace().Count());
        state.PauseTiming();  // freeing the drawing is not part of loading it
        doc.reset();
        state.ResumeTiming();
    }
    state.counters["entities"] = static_cast<double>(read);
    std::filesystem::remove(path);
}


// The network drawing of `n` entities written once per size for the run.
const std::filesystem::path& NetworkFile(int n)
{
    struct Files {
        std::map<int, std::filesystem::path> paths;
        ~Files()
        {
            for (const auto& [n, p] : paths) std::filesystem::remove(p);
        }
    };
    static Files files;
    auto it = files.paths.find(n);
    if (it != files.paths.end()) return it->second;
    const auto path = std::filesystem::temp_directory_path() /
                      ("quoril-bench-open-" + std::to_string(::getpid()) + "-" + std::to_string(n) + ".dxf");
    acad::Document doc;
    BuildNetwork(doc, n);
    acad::WriteDxf(doc, path);
    return files.paths.emplace(n, path).first->second;
}

void BM_DxfOpen(benchmark::State& state)
{
    const auto& path = NetworkFile(static_cast<int>(state.range(0)));
    std::size_t read = 0;
    for (auto _ : state) {
        auto doc = std::make_unique<acad::Document>();
        acad::ReadDxf(*doc, path);
        read = static_cast<std::size_t>(doc->ModelSpace().Count());
        state.PauseTiming();
        doc.reset();
        state.ResumeTiming();
    }
    state.counters["entities"] = static_cast<double>(read);
}

// Each heavy drawing whose blocks multiply what a view draws that a file can
// hold small (heavy::Benchmarked, by index), read and its extents measured, as
// the window does on opening it: against the frame of 100,000 plain lines
// (BM_RepaintPlainLines100000), at most 10 times as long.
void BM_OpenHeavy(benchmark::State& state)
{
    const std::size_t index = static_cast<std::size_t>(state.range(0));
    state.SetLabel(heavy::NameOf(heavy::Benchmarked()[index]));
    const auto path = std::filesystem::temp_directory_path() /
                      ("quoril-bench-heavy-" + std::to_string(::getpid()) + "-" + std::to_string(index) + ".dxf");
    {
        acad::Document doc;
        heavy::Build(doc, heavy::Benchmarked()[index]);
        acad::WriteDxf(doc, path);
    }
    acad::Box extents;
    for (auto _ : state) {
        auto doc = std::make_unique<acad::Document>();
        acad::ReadDxf(*doc, path);
        extents = doc->ModelExtents();
        state.PauseTiming();
        doc.reset();
        state.ResumeTiming();
    }
    state.counters["MB"] = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
    state.counters["width"] = extents.Width();
    std::filesystem::remove(path);
}

// The least any reader does: the file read, its lines paired into group code
// and value, codes and numbers parsed (from_chars), nothing kept.
void BM_DxfBarePass(benchmark::State& state)
{
    const auto& path = NetworkFile(static_cast<int>(state.range(0)));
    double sum = 0;
    for (auto _ : state) {
        std::unique_ptr<std::FILE, int (*)(std::FILE*)> f(std::fopen(path.c_str(), "rb"), &std::fclose);
        std::vector<char> buf(1 << 20);
        std::string carry;
        bool atCode = true;
        int code = 0;
        auto line = [&](std::string_view l) {
            if (!l.empty() && l.back() == '\r') l.remove_suffix(1);
            while (!l.empty() && l.front() == ' ') l.remove_prefix(1);
            if (atCode) {
                std::from_chars(l.data(), l.data() + l.size(), code);
            } else if ((code >= 10 && code < 60) || (code >= 110 && code < 150) || (code >= 210 && code < 240) ||
                       (code >= 1010 && code < 1060)) {
                double v = 0;
                std::from_chars(l.data(), l.data() + l.size(), v);
                sum += v;
            } else if ((code >= 60 && code < 100) || (code >= 170 && code < 180) || (code >= 270 && code < 290) ||
                       (code >= 370 && code < 390) || (code >= 1060 && code < 1072)) {
                long v = 0;
                std::from_chars(l.data(), l.data() + l.size(), v);
                sum += static_cast<double>(v);
            }
            atCode = !atCode;
        };
        std::size_t got;
        while ((got = std::fread(buf.data(), 1, buf.size(), f.get())) > 0) {
            std::string_view chunk(buf.data(), got);
            std::size_t nl;
            while ((nl = chunk.find('\n')) != std::string_view::npos) {
                if (carry.empty()) {
                    line(chunk.substr(0, nl));
                } else {
                    carry.append(chunk.substr(0, nl));
                    line(carry);
                    carry.clear();
                }
                chunk.remove_prefix(nl + 1);
            }
            carry.append(chunk);
        }
        if (!carry.empty()) line(carry);
        benchmark::DoNotOptimize(sum);
    }
}

}  // namespace

BENCHMARK(BM_DxfSave)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_DxfLoad)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_DxfBarePass)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_OpenHeavy)
    ->DenseRange(14, static_cast<int>(heavy::Benchmarked().size()) - 1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_DxfOpen)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
