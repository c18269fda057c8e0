// The command line behind SendCommand, driven with the exact command texts the
// system sends, a scripted input source for what the commands ask the user, and
// real files for DXFOUT.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "platform/acad/Acad.h"
#include "platform/acad/CommandLine.h"

using namespace acad;

namespace {

const std::string CR = "\r";
const std::string QT = "\"";

class CommandTest : public ::testing::Test {
protected:
    CommandTest() : script(std::make_shared<ScriptedInput>()), doc(*app.Documents().Add("Acad"))
    {
        app.SetInputSource(script);
        app.ZoomCenter({0, 0, 0}, 200);
        begun = doc.BeginCommand.Connect([this](const std::string& name) { events.push_back("begin " + name); });
        ended = doc.EndCommand.Connect([this](const std::string& name) { events.push_back("end " + name); });
    }
    ~CommandTest() override
    {
        begun.Disconnect();
        ended.Disconnect();
    }

    std::uint32_t CodeOf(const std::string& text, std::string* description = nullptr)
    {
        try {
            doc.SendCommand(text);
        } catch (const Error& e) {
            if (description) *description = e.Description();
            return e.Code();
        }
        return 0;
    }

    Application app;
    std::shared_ptr<ScriptedInput> script;
    Document& doc;
    std::vector<std::string> events;
    platform::Event<std::string>::Connection begun, ended;
};

using Strings = std::vector<std::string>;

// --- DXFOUT of the hatches of a layer

class DxfOutTest : public CommandTest {
protected:
    DxfOutTest()
    {
        dir = std::filesystem::temp_directory_path() / ("quoril-dxfout-" + std::to_string(::getpid()) + "-" +
                                                        std::to_string(reinterpret_cast<std::uintptr_t>(this)));
        std::filesystem::create_directories(dir);
        doc.Layers().Add("PAVIMENTO");
        doc.Layers().Add("ZONAS");
        for (int k = 0; k < 3; ++k) {
            const double x = 20.0 * k;
            LWPolyline* square = doc.ModelSpace().AddLightWeightPolyline({x, 0, x + 10, 0, x + 10, 10, x, 10});
            square->SetClosed(true);
            Hatch* h = doc.ModelSpace().AddHatch(1, "SOLID", false);
            h->AppendOuterLoop({square});
            h->Evaluate();
            h->SetLayer(k == 1 ? "ZONAS" : "PAVIMENTO");
            square->SetLayer("PAVIMENTO");
            hatches.push_back(h);
        }
    }
    ~DxfOutTest() override { std::filesystem::remove_all(dir); }

    // Handles of the entities of the file's ENTITIES section, by type.
    std::vector<std::pair<std::string, std::string>> EntitiesOf(const std::filesystem::path& path)
    {
        std::ifstream in(path);
        std::vector<std::string> lines;
        for (std::string l; std::getline(in, l);) {
            while (!l.empty() && (l.back() == '\r' || l.back() == ' ')) l.pop_back();
            l.erase(0, l.find_first_not_of(' '));
            lines.push_back(l);
        }
        std::vector<std::pair<std::string, std::string>> out;
        bool inEntities = false;
        for (std::size_t i = 0; i + 1 < lines.size(); i += 2) {
            const std::string& code = lines[i];
            const std::string& value = lines[i + 1];
            if (code == "2" && i >= 2 && lines[i - 1] == "SECTION") inEntities = value == "ENTITIES";
            if (code == "0" && value == "ENDSEC") inEntities = false;
            if (!inEntities) continue;
            if (code == "0") out.push_back({value, ""});
            if (code == "5" && !out.empty() && out.back().second.empty()) out.back().second = value;
        }
        return out;
    }

    std::filesystem::path dir;
    std::vector<Hatch*> hatches;
};

TEST_F(DxfOutTest, WritesTheHatchesOfTheSelection)
{
    const std::filesystem::path path = dir / "rede.dxf";
    const Variant filedia = doc.GetVariable("FILEDIA");
    doc.SetVariable("FILEDIA", 0);
    doc.SendCommand("DXFOUT" + CR + path.string() + CR + "O" + CR +
                    "(ssget\"X\"(list(cons 0 \"HATCH\")(cons 8 \"PAVIMENTO\")))" + CR + CR + "16" + CR);
    doc.SetVariable("FILEDIA", filedia);
    ASSERT_TRUE(std::filesystem::exists(path));
    const auto written = EntitiesOf(path);
    ASSERT_EQ(written.size(), 2u);
    EXPECT_EQ(written[0], std::make_pair(std::string("HATCH"), hatches[0]->Handle()));
    EXPECT_EQ(written[1], std::make_pair(std::string("HATCH"), hatches[2]->Handle()));
    EXPECT_EQ(events, (Strings{"begin DXFOUT", "end DXFOUT"}));
    EXPECT_FALSE(doc.CommandActive());

    // An empty layer name: every hatch of the drawing, written over the old file.
    doc.SendCommand("DXFOUT" + CR + path.string() + CR + "O" + CR + "(ssget\"X\"(list(cons 0 \"HATCH\")))" + CR + CR +
                    "16" + CR);
    EXPECT_EQ(EntitiesOf(path).size(), 3u);

    // Nothing selected still leaves a readable file.
    const std::filesystem::path none = dir / "none.dxf";
    doc.SendCommand("DXFOUT" + CR + none.string() + CR + "O" + CR +
                    "( ssget \"x\" ( list ( cons 0 \"HATCH\" ) ( cons 8 \"NADA\" ) ) )" + CR + CR + "16" + CR);
    ASSERT_TRUE(std::filesystem::exists(none));
    EXPECT_TRUE(EntitiesOf(none).empty());

    // A relative name is beside the drawing, wherever the program runs.
    doc.SaveAs((dir / "rede.dwg").string());
    const std::filesystem::path aqui = std::filesystem::current_path() / "relativo.dxf";
    ASSERT_FALSE(std::filesystem::exists(aqui));
    doc.SendCommand("DXFOUT" + CR + "relativo" + CR + "O" + CR + "(ssget\"X\"(list(cons 0 \"HATCH\")))" + CR + CR +
                    "16" + CR);
    EXPECT_EQ(EntitiesOf(dir / "relativo.dxf").size(), 3u);
    EXPECT_FALSE(std::filesystem::exists(aqui));
}

TEST_F(DxfOutTest, BadAnswersFailNamingTheCommand)
{
    std::string why;
    EXPECT_EQ(CodeOf("DXFOUT" + CR + (dir / "x.dxf").string() + CR + "B" + CR, &why), ErrorCode::InvalidInput);
    EXPECT_NE(why.find("DXFOUT"), std::string::npos);
    EXPECT_EQ(CodeOf("DXFOUT" + CR + (dir / "x.dxf").string() + CR + "17" + CR), ErrorCode::InvalidInput);
    EXPECT_FALSE(std::filesystem::exists(dir / "x.dxf"));
    EXPECT_EQ(CodeOf("DXFOUT" + CR + (dir / "x.dxf").string() + CR + "O" + CR + "(ssget \"W\")" + CR),
              ErrorCode::InvalidInput);
    EXPECT_EQ(events.back(), "end DXFOUT");
    EXPECT_FALSE(doc.CommandActive());
}

// --- -LAYER of the nodes drawing

TEST_F(CommandTest, LayerColoursFreezesAndThawsByWildcardLists)
{
    // The network drawing attached as "REDE" brings its layers as "REDE|...".
    Document network;
    for (const char* name : {"T_100", "T_150", "CONEXOES_1", "TEXTO_CON", "TRECHO", "OUTRA"}) {
        network.Layers().Add(name);
        network.ModelSpace().AddPoint({0, 0, 0})->SetLayer(name);
    }
    doc.ImportAsBlock(network, "REDE", {0, 0, 0}, true, "/tmp/rede.dwg");
    doc.Layers().Add("NODES");
    doc.Layers().Add("A");
    doc.SetActiveLayer(*doc.Layers().Add("REDE"));

    doc.SendCommand("-LAYER" + CR + "C" + CR + "8" + CR + "*" + CR + "Freeze" + CR + "*" + CR + "Thaw" + CR +
                    "REDE,NODES,REDE|CONEXOES*,REDE|T_*,REDE|TEXTO_CON,REDE|TRECHO" + CR + CR);
    Strings frozen, thawed;
    for (Layer* l : doc.Layers()) {
        EXPECT_EQ(l->Color(), 8) << l->Name();
        (l->Freeze() ? frozen : thawed).push_back(l->Name());
    }
    EXPECT_EQ(frozen, (Strings{"0", "REDE|OUTRA", "A"}));
    EXPECT_EQ(thawed.size(), 7u);
    // The current layer cannot be frozen: the host says so and goes on.
    ASSERT_FALSE(script->Messages().empty());
    EXPECT_NE(script->Messages()[0].find("REDE"), std::string::npos);
    EXPECT_EQ(events, (Strings{"begin -LAYER", "end -LAYER"}));

    // Options the host has but the system never sends are refused by name.
    std::string why;
    EXPECT_EQ(CodeOf("-LAYER" + CR + "LOck" + CR + "A" + CR + CR, &why), ErrorCode::InvalidInput);
    EXPECT_NE(why.find("LOck"), std::string::npos);
    EXPECT_EQ(CodeOf("-LAYER" + CR + "C" + CR + "300" + CR + "*" + CR + CR), ErrorCode::InvalidInput);
    EXPECT_EQ(doc.Layers().Item("A")->Color(), 8);
}

// --- ROTATE LAST after a block insertion

TEST_F(CommandTest, RotateLastWaitsForTheAngleAfterSendCommandReturns)
{
    Block* def = doc.Blocks().Add({0, 0, 0}, "CAD_COM");
    def->AddLine({0, 0, 0}, {5, 0, 0});
    AttributeDefinition* numero = def->AddAttribute(1.0, 0, "", {1, 1, 0}, "NUMERO", "");
    numero->SetRotation(0.3);
    BlockReference* ref = doc.ModelSpace().InsertBlock({1234.5, 678, 0}, "CAD_COM", 1, 1, 1, 0);
    Strings waiting;
    auto w = doc.CommandLine().WaitingForInput.Connect([&](const std::string& n) { waiting.push_back(n); });

    doc.SendCommand("ROTATE" + CR + "LAST" + CR + CR + "1234.50000000,678.00000000" + CR);
    // Back in the program with the host still asking.
    EXPECT_TRUE(doc.CommandActive());
    EXPECT_FALSE(app.GetAcadState().IsQuiescent());
    EXPECT_EQ(doc.CommandLine().ActiveCommandName(), "ROTATE");
    EXPECT_EQ(waiting, (Strings{"ROTATE"}));
    EXPECT_EQ(ref->Rotation(), 0.0);
    // The fitting insertion sets the last free attribute's rotation meanwhile; the user's
    // rotation then turns it with the block.
    ref->GetAttributes().at(0)->SetRotation(0.0);

    script->Angle(kPi / 2);
    doc.CommandLine().Continue();
    EXPECT_NEAR(ref->Rotation(), kPi / 2, 1e-12);
    EXPECT_NEAR(ref->InsertionPoint().x, 1234.5, 1e-9);
    EXPECT_NEAR(ref->GetAttributes().at(0)->Rotation(), kPi / 2, 1e-12);
    EXPECT_FALSE(doc.CommandActive());
    EXPECT_TRUE(app.GetAcadState().IsQuiescent());
    EXPECT_EQ(events, (Strings{"begin ROTATE", "end ROTATE"}));
    ASSERT_EQ(script->Requests().size(), 1u);
    EXPECT_EQ(script->Requests()[0].kind, InputKind::Angle);
    EXPECT_EQ(*script->Requests()[0].basePoint, Point3d(1234.5, 678, 0));

    // Text sent while the command waits answers it; Enter takes the last angle.
    doc.SendCommand("ROTATE" + CR + "LAST" + CR + CR + "1234.5,678" + CR);
    doc.SendCommand("90" + CR);
    EXPECT_NEAR(ref->Rotation(), kPi, 1e-12);
    doc.SendCommand("ROTATE" + CR + "LAST" + CR + CR + "1234.5,678" + CR + CR);
    EXPECT_NEAR(ref->Rotation(), 3 * kPi / 2, 1e-12);
    EXPECT_FALSE(doc.CommandActive());

    // Escape cancels: nothing turns, and the end of the command is still reported.
    events.clear();
    doc.SendCommand("ROTATE" + CR + "LAST" + CR + CR + "1234.5,678" + CR);
    script->Escape();
    doc.CommandLine().Continue();
    EXPECT_NEAR(ref->Rotation(), 3 * kPi / 2, 1e-12);
    EXPECT_EQ(events, (Strings{"begin ROTATE", "end ROTATE"}));
    // So does the Escape of the host's window.
    doc.SendCommand("ROTATE" + CR + "LAST" + CR + CR + "1234.5,678" + CR);
    doc.CommandLine().Cancel();
    EXPECT_FALSE(doc.CommandActive());
    EXPECT_NEAR(ref->Rotation(), 3 * kPi / 2, 1e-12);
    w.Disconnect();
}

TEST_F(CommandTest, RotateWithoutTextAsksTheSelectionAndBasePointToo)
{
    Line* line = doc.ModelSpace().AddLine({0, 0, 0}, {10, 0, 0});
    doc.SendCommand("ROTATE" + CR);
    EXPECT_TRUE(doc.CommandActive());
    script->Point({5, 0, 0}).Enter().Point({0, 0, 0}).Text("90");
    doc.CommandLine().Continue();
    EXPECT_NEAR(line->EndPoint().x, 0.0, 1e-9);
    EXPECT_NEAR(line->EndPoint().y, 10.0, 1e-9);
    EXPECT_EQ(script->Prompts(), (Strings{"Selecione objetos: ", "Selecione objetos: ", "Especifique o ponto base: ",
                                          "Especifique o ângulo de rotação <0>: "}));
}

// --- -HATCHEDIT of "Corrige Hatch"

TEST_F(CommandTest, HatchEditRebuildsTheHatchWithItsOwnSettings)
{
    LWPolyline* square = doc.ModelSpace().AddLightWeightPolyline({50, 50, 60, 50, 60, 60, 50, 60});
    square->SetClosed(true);
    Hatch* hatch = doc.ModelSpace().AddHatch(1, "ANSI31", false);
    hatch->AppendOuterLoop({square});
    hatch->SetPatternScale(2.0);
    hatch->SetPatternAngle(0.5);
    hatch->Evaluate();
    Point3d lo0, hi0;
    hatch->GetBoundingBox(lo0, hi0);

    // As "Corrige Hatch" does: to the origin, the command, and back.
    const Point3d picked(55, 50, 0);
    hatch->Move(picked, {0, 0, 0});
    doc.SendCommand("-HATCHEDIT" + CR + "(handent" + QT + hatch->Handle() + QT + ")" + CR + CR + CR + CR + CR);
    hatch->Move({0, 0, 0}, picked);
    EXPECT_FALSE(doc.CommandActive());
    EXPECT_EQ(hatch->PatternName(), "ANSI31");
    EXPECT_DOUBLE_EQ(hatch->PatternScale(), 2.0);
    EXPECT_DOUBLE_EQ(hatch->PatternAngle(), 0.5);
    Point3d lo, hi;
    hatch->GetBoundingBox(lo, hi);
    EXPECT_NEAR(lo.x, lo0.x, 1e-9);
    EXPECT_NEAR(hi.y, hi0.y, 1e-9);
    EXPECT_EQ(events, (Strings{"begin -HATCHEDIT", "end -HATCHEDIT"}));

    // A solid hatch asks less; the Enters left over do nothing at the command prompt.
    Hatch* solid = doc.ModelSpace().AddHatch(1, "SOLID", false);
    solid->AppendOuterLoop({square});
    solid->Evaluate();
    doc.SendCommand("-HATCHEDIT" + CR + "(handent" + QT + solid->Handle() + QT + ")" + CR + CR + CR + CR + CR);
    EXPECT_FALSE(doc.CommandActive());

    // A user-defined pattern has one question more: the host is left asking it.
    Hatch* user = doc.ModelSpace().AddHatch(HatchPatternType::UserDefined, "_USER", false);
    user->AppendOuterLoop({square});
    user->Evaluate();
    doc.SendCommand("-HATCHEDIT" + CR + "(handent" + QT + user->Handle() + QT + ")" + CR + CR + CR + CR + CR);
    EXPECT_TRUE(doc.CommandActive());
    doc.CommandLine().Cancel();

    // Not a hatch, or no object with that handle: the command fails and says why.
    std::string why;
    EXPECT_EQ(CodeOf("-HATCHEDIT" + CR + "(handent" + QT + square->Handle() + QT + ")" + CR + CR, &why),
              ErrorCode::InvalidInput);
    EXPECT_NE(why.find("-HATCHEDIT"), std::string::npos);
    EXPECT_EQ(CodeOf("-HATCHEDIT" + CR + "(handent" + QT + "FFFFFF" + QT + ")" + CR + CR), ErrorCode::InvalidInput);
    EXPECT_FALSE(doc.CommandActive());
}

// --- Layout copy of the sheet layouts

TEST_F(CommandTest, LayoutCopyMakesANamedCopyOfTheTemplate)
{
    doc.SetActiveLayout(*doc.Layouts().Item("Layout1"));
    doc.PaperSpace().AddLine({0, 0, 0}, {100, 0, 0});
    const std::string active = doc.ActiveLayout().Name();
    doc.SendCommand("Layout" + CR + "copy" + CR + active + CR + "X-0030-A" + CR);
    Layout* copy = doc.Layouts().Item("X-0030-A");
    EXPECT_EQ(copy->Block().Count(), doc.ActiveLayout().Block().Count());
    EXPECT_GE(copy->Block().Count(), 1);
    EXPECT_EQ(doc.ActiveLayout().Name(), "Layout1");  // the template stays active
    EXPECT_EQ(events, (Strings{"begin LAYOUT", "end LAYOUT"}));

    // A name the host refuses stops its command.
    EXPECT_EQ(CodeOf("Layout" + CR + "copy" + CR + active + CR + "X-0030-A" + CR), ErrorCode::DuplicateKey);
    EXPECT_EQ(CodeOf("Layout" + CR + "copy" + CR + "Nenhum" + CR + "Y" + CR), ErrorCode::KeyNotFound);
    EXPECT_EQ(CodeOf("Layout" + CR + "Delete" + CR + "X-0030-A" + CR), ErrorCode::InvalidInput);
    EXPECT_FALSE(doc.CommandActive());
}

// --- _XCLIP of "Clip Setor"

TEST_F(CommandTest, XclipSetsAPolygonalBoundaryOnTheReference)
{
    Block* base = doc.Blocks().Add({0, 0, 0}, "BASE");
    base->AddLine({0, 0, 0}, {200, 200, 0});
    base->SetXRefPath("/tmp/base.dwg");
    BlockReferenceData data;
    data.block = doc.Blocks().IndexOf(*base);
    auto* xref = doc.ModelSpace().Append(std::make_unique<ExternalReference>(doc, data));
    doc.Blocks().Add({0, 0, 0}, "PLAIN")->AddLine({0, 0, 0}, {1, 1, 0});
    BlockReference* plain = doc.ModelSpace().InsertBlock({0, 0, 0}, "PLAIN", 1, 1, 1, 0);

    doc.SetVariable("CMDECHO", 0);
    doc.SendCommand("_XCLIP" + CR + "(Handent " + QT + xref->Handle() + QT + ")" + CR + CR + "NEW" + CR + "P" + CR +
                    "0.0000,0.0000" + CR + "100.0000,0.0000" + CR + "100.0000,50.0000" + CR + CR);
    EXPECT_EQ(xref->ClipBoundary(), (std::vector<Point3d>{{0, 0, 0}, {100, 0, 0}, {100, 50, 0}}));
    EXPECT_EQ(events, (Strings{"begin XCLIP", "end XCLIP"}));

    // A degenerate outline and a reference that is no external reference are
    // XCLIP's own errors.
    EXPECT_EQ(CodeOf("_XCLIP" + CR + "(Handent " + QT + xref->Handle() + QT + ")" + CR + CR + "NEW" + CR + "P" + CR +
                     "0,0" + CR + "10,0" + CR + CR),
              ErrorCode::InvalidInput);
    EXPECT_EQ(xref->ClipBoundary().size(), 3u);
    EXPECT_EQ(CodeOf("_XCLIP" + CR + "(Handent " + QT + plain->Handle() + QT + ")" + CR + CR + "NEW" + CR + "P" + CR +
                     "0,0" + CR + "10,0" + CR + "10,10" + CR + CR),
              ErrorCode::InvalidInput);
    EXPECT_FALSE(doc.CommandActive());
}

// --- _dimaligned and EndCommand of the tie dimension

TEST_F(CommandTest, DimAlignedAsksThreePointsAndItsEndLetsTheProgramFinish)
{
    doc.ModelSpace().AddLine({0, 0, 0}, {30, 0, 0});
    doc.Layers().Add("Amarracao")->SetColor(10);
    // DimUno and the water drawing class's EndCommand handler.
    std::string tool = "DimUno";
    const int saved = doc.GetVariable("OSMODE").AsInt();
    doc.SetVariable("OSMODE", 512);
    auto handler = doc.EndCommand.Connect([&](const std::string& name) {
        if (tool == "DimUno" && name == "DIMALIGNED") {
            doc.Utility().Prompt("\r\n");
            const std::string typed = doc.Utility().GetString(false, "Distância:");
            Block& ms = doc.ModelSpace();
            if (auto* dim = As<DimAligned>(ms.Item(ms.Count() - 1))) {
                dim->SetTextOverride(typed);
                dim->SetLayer("Amarracao");
                dim->Update();
            }
            doc.SetVariable("OSMODE", saved);
        }
        tool.clear();
    });
    doc.SendCommand("_dimaligned" + CR);
    EXPECT_TRUE(doc.CommandActive());

    script->Point({10, 0.3, 0}).Point({25, 0, 0}).Point({18, 6, 0}).Text("12,35 m");
    doc.CommandLine().Continue();
    auto* dim = As<DimAligned>(doc.ModelSpace().Item(doc.ModelSpace().Count() - 1));
    ASSERT_NE(dim, nullptr);
    EXPECT_NEAR(dim->ExtLine1Point().y, 0.0, 1e-12);  // the nearest snap put it on the line
    EXPECT_NEAR(dim->ExtLine1Point().x, 10.0, 1e-12);
    EXPECT_EQ(dim->TextOverride(), "12,35");  // a space ends the text
    EXPECT_EQ(dim->Layer(), "Amarracao");
    EXPECT_EQ(doc.GetVariable("OSMODE").AsInt(), saved);
    EXPECT_TRUE(tool.empty());
    EXPECT_FALSE(doc.CommandActive());
    EXPECT_EQ(script->Prompts().back(), "Distância:");
    EXPECT_EQ(script->Messages().back(), "\r\n");

    // Cancelled before a dimension exists: the end is still reported.
    const int count = doc.ModelSpace().Count();
    tool = "DimUno";
    events.clear();
    doc.SendCommand("_dimaligned" + CR);
    script->Point({0, 0, 0}).Escape().Text("x");
    doc.CommandLine().Continue();
    EXPECT_EQ(doc.ModelSpace().Count(), count);
    EXPECT_EQ(events, (Strings{"begin DIMALIGNED", "end DIMALIGNED"}));
    handler.Disconnect();
}

// --- The interpreter itself

TEST_F(CommandTest, UnknownCommandsFailNamingThemAndDropTheRest)
{
    doc.Layers().Add("A");
    std::string why;
    EXPECT_EQ(CodeOf("FOOBAR" + CR + "-LAYER" + CR + "Freeze" + CR + "A" + CR + CR, &why), ErrorCode::UnknownCommand);
    EXPECT_NE(why.find("FOOBAR"), std::string::npos);
    EXPECT_FALSE(doc.Layers().Item("A")->Freeze());
    EXPECT_FALSE(doc.CommandActive());
    EXPECT_TRUE(events.empty());
    // LAYER without its dash is the dialog version the host does not offer here.
    EXPECT_EQ(CodeOf("LAYER" + CR), ErrorCode::UnknownCommand);

    // Lisp at the command prompt is evaluated; an unknown function is named.
    EXPECT_EQ(CodeOf("(ssget \"X\")" + CR + CR), 0u);
    EXPECT_EQ(CodeOf("(command \"LINE\")" + CR, &why), ErrorCode::UnknownCommand);
    EXPECT_NE(why.find("COMMAND"), std::string::npos);
    EXPECT_EQ(CodeOf("(ssget \"X\"" + CR), ErrorCode::InvalidInput);  // never closed

    // Prefixes, case and LF line ends are the host's too.
    EXPECT_EQ(CodeOf("_.-layer\nF\nA\n\n"), 0u);
    EXPECT_TRUE(doc.Layers().Item("A")->Freeze());
}

}  // namespace
