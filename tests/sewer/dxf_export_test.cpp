// The DXF file of a captured and numbered network: its lines against a
// golden file, the handles running on from one export to the next, the
// catalogue's head and tail lines, names in the Windows Western code page,
// what stops the export without a file, and the file read back by the
// drawing host.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "VerifTestSupport.h"
#include "cad/modAcad.h"
#include "cad/modDesenho.h"
#include "platform/acad/DxfFile.h"
#include "platform/ado/Ado.h"
#include "platform/os/Dialogs.h"
#include "sewer/clsSANExp.h"
#include "sewer/modRedeSAN.h"
#include "shell/modGlobais.h"

using namespace veriftest;
namespace fs = std::filesystem;

namespace {

std::string Bytes(const fs::path& P)
{
    std::ifstream in(P, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The lines of a file whose every line ends in CR LF (a bare LF fails).
std::vector<std::string> LinhasDe(const std::string& Texto)
{
    std::vector<std::string> v;
    std::size_t i = 0;
    while (i < Texto.size()) {
        const std::size_t f = Texto.find("\r\n", i);
        EXPECT_NE(f, std::string::npos) << "linha sem CR LF no fim";
        if (f == std::string::npos) break;
        v.push_back(Texto.substr(i, f - i));
        EXPECT_EQ(v.back().find('\n'), std::string::npos) << v.back();
        i = f + 2;
    }
    return v;
}

// The catalogue's rows as the file must carry them.
std::vector<std::string> Catalogo(const std::string& Tabela)
{
    ado::Connection cn;
    cn.Open("PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source=" + gMdbPath + ";", "", "");
    ado::Recordset rs;
    rs.Open("select [Campo] from " + Tabela + " order by [Num]", cn, ado::adOpenStatic, ado::adLockReadOnly);
    std::vector<std::string> v;
    for (; !rs.Eof(); rs.MoveNext()) {
        std::string t = rs.Fields("Campo").Value().TextOr("");
        t.erase(0, t.find_first_not_of(' '));
        t.erase(t.find_last_not_of(' ') + 1);
        v.push_back(t);
    }
    return v;
}

class ExportaDxf : public VerifTest {
protected:
    ExportaDxf() { exp.cProgress = &listas.Barra; }

    // A(100,200) CT 101.5 → B(150,230) CT 100.9, "Asfalto", collector 1.
    void Rede()
    {
        a = PVg(Ponto(100, 200), "A", "101.5");
        b = PVg(Ponto(150, 230), "B", "100.9");
        tr = TRg(a, b, "SIM", "Asfalto");
        SetAtributo("COLETOR", "1", a);
    }
    void CapturaENumera()
    {
        bool ok = false;
        int menor = 0;
        ASSERT_GT(exp.CaptureRedeGen(ok, menor, gListPLs), 0);
        ASSERT_TRUE(ok);
        exp.CaptureAuto(1, false, false, 1, "");
    }
    // SaveDXF with the save dialog answered by `Arquivo` (none: cancelled);
    // the dialogs asked are kept.
    void Salva(const std::optional<fs::path>& Arquivo)
    {
        os::ScopedDialogDriver d([&](const os::DialogRequest& r) {
            pedidos.push_back(r);
            return Arquivo ? os::DialogAnswer::Path(Arquivo->string()) : os::DialogAnswer::Cancel();
        });
        exp.SaveDXF();
    }
    // The entity lines between the catalogue's head and tail, checking those.
    std::vector<std::string> Entidades(const fs::path& Arquivo)
    {
        const auto l = LinhasDe(Bytes(Arquivo));
        const auto cabeca = Catalogo("dxfINI");
        const auto cauda = Catalogo("dxfEND");
        EXPECT_GE(l.size(), cabeca.size() + cauda.size());
        if (l.size() < cabeca.size() + cauda.size()) return {};
        EXPECT_EQ(std::vector<std::string>(l.begin(), l.begin() + cabeca.size()), cabeca);
        EXPECT_EQ(std::vector<std::string>(l.end() - cauda.size(), l.end()), cauda);
        return {l.begin() + cabeca.size(), l.end() - cauda.size()};
    }
    // The 4th line of each entity: its handle.
    static std::vector<std::string> Handles(const std::vector<std::string>& E)
    {
        std::vector<std::string> h;
        for (std::size_t i = 0; i + 3 < E.size(); ++i)
            if ((E[i] == " 0" || E[i] == "0") && (E[i + 1] == "TEXT" || E[i + 1] == "INSERT" || E[i + 1] == "LINE"))
                h.push_back(E[i + 3]);
        return h;
    }
    std::vector<std::string> Mensagens()
    {
        std::vector<std::string> v;
        for (const Janela& j : respostas.Mostradas()) v.push_back(j.Titulo + ": " + j.Texto);
        return v;
    }

    clsSANExp exp;
    acad::BlockReference *a = nullptr, *b = nullptr, *tr = nullptr;
    std::vector<os::DialogRequest> pedidos;
};

}  // namespace

TEST_F(ExportaDxf, TwoManholesAndAReachMatchTheGoldenFileAndHandlesRunOn)
{
    Rede();
    CapturaENumera();
    const fs::path arquivo = pasta / "rede.dxf";
    Salva(arquivo);
    ASSERT_EQ(pedidos.size(), 1u);
    EXPECT_EQ(pedidos[0].kind, os::DialogKind::Save);
    // A drawing never saved proposes its own name, not a hidden ".dxf".
    EXPECT_EQ(pedidos[0].fileName, "Drawing1.dxf");
    EXPECT_EQ(pedidos[0].defaultExt, "dxf");
    EXPECT_TRUE(Mensagens().empty());  // no closing message

    const auto ouro = LinhasDe(
        Bytes(fs::path(std::getenv("QUORIL_SOURCE_DIR")) / "tests/sewer/golden/sewer_2pv_1reach_entities.dxf"));
    ASSERT_EQ(ouro.size(), 2u * 50 + 32);
    const auto e = Entidades(arquivo);
    ASSERT_EQ(e.size(), ouro.size());
    for (std::size_t i = 0; i < e.size(); ++i) EXPECT_EQ(e[i], ouro[i]) << "linha " << i + 1 << " das entidades";
    // Nothing is left beside it.
    EXPECT_EQ(std::distance(fs::directory_iterator(pasta.Caminho()), fs::directory_iterator()), 1);

    // The same object goes on from 3EE; the file is replaced.
    Salva(arquivo);
    EXPECT_EQ(Handles(Entidades(arquivo)), (std::vector<std::string>{"3EE", "3EF", "3F0", "3F1", "3F2"}));
}

TEST_F(ExportaDxf, ManholesWithMoreReachesAreInsertedAsPV)
{
    acad::BlockReference* s1 = PVg(Ponto(0, 0), "S1");
    acad::BlockReference* m = PVg(Ponto(30, 0), "M");
    acad::BlockReference* j = PVg(Ponto(60, 0), "J");
    acad::BlockReference* s2 = PVg(Ponto(60, 30), "S2");
    TRg(s1, m);
    TRg(m, j);
    TRg(s2, j);
    TRg(j, PVg(Ponto(90, 0), "F"));
    SetAtributo("COLETOR", "1", s1);
    SetAtributo("COLETOR", "2", s2);
    CapturaENumera();
    Salva(pasta / "r.dxf");
    const auto e = Entidades(pasta / "r.dxf");
    ASSERT_EQ(e.size(), 5u * 50 + 4 * 32);
    std::map<std::string, std::string> blocos;  // name -> block
    for (int i = 0; i < 5; ++i) {
        const std::size_t p = static_cast<std::size_t>(i) * 50;
        EXPECT_EQ(e[p + 39], e[p + 43]);  // block name = layer
        blocos[e[p + 19]] = e[p + 39];
    }
    EXPECT_EQ(blocos,
              (std::map<std::string, std::string>{{"S1", "PL"}, {"M", "PV"}, {"J", "PV"}, {"S2", "PL"}, {"F", "PL"}}));
    // Each line: its number, its upstream PV and "SIM".
    for (int i = 0; i < 4; ++i) {
        const std::size_t p = 5 * 50 + static_cast<std::size_t>(i) * 32;
        EXPECT_EQ(e[p], "0");
        EXPECT_EQ(e[p + 31], "SIM");
    }
    EXPECT_EQ(e[5 * 50 + 25], "001-001");
    EXPECT_EQ(e[5 * 50 + 27], "S1");
}

TEST_F(ExportaDxf, CatalogueLinesAreTrimmedAndNullIsAnEmptyLine)
{
    const fs::path copia = pasta / "rereva2000r.mdb";
    fs::copy_file(gMdbPath, copia);
    gMdbPath = copia.string();
    sewertest::ExecutaSql(copia,
                          "UPDATE dxfINI SET Campo = '   ' || Campo || '  ' WHERE Num = (SELECT MIN(Num) FROM "
                          "dxfINI); INSERT INTO dxfEND (Num, Campo) VALUES ((SELECT MAX(Num) FROM dxfEND) + 1, "
                          "NULL);");
    Rede();
    CapturaENumera();
    Salva(pasta / "r.dxf");
    const auto l = LinhasDe(Bytes(pasta / "r.dxf"));
    ASSERT_FALSE(l.empty());
    EXPECT_EQ(l.front(), Catalogo("dxfINI").front());
    EXPECT_NE(l.front().front(), ' ');
    EXPECT_NE(l.front().back(), ' ');
    EXPECT_EQ(l.back(), "");
    EXPECT_EQ(l[l.size() - 2], "EOF");
}

TEST_F(ExportaDxf, NamesAreWrittenInTheWindowsWesternCodePage)
{
    Rede();
    SetAtributo("NUMERO", "Ação Ω", a);
    CapturaENumera();
    Salva(pasta / "r.dxf");
    const std::string bytes = Bytes(pasta / "r.dxf");
    EXPECT_NE(bytes.find("\r\nA\xE7\xE3o \\U+03A9\r\n"), std::string::npos);
    EXPECT_EQ(bytes.find("Ação"), std::string::npos);  // no UTF-8

    // The drawing host reads it back: the name, the blocks and the reach's data.
    acad::Document lido;
    acad::ReadDxf(lido, pasta / "r.dxf");
    std::vector<std::string> textos, blocos;
    acad::Line* linha = nullptr;
    for (acad::Entity* e : lido.ModelSpace()) {
        if (auto* t = dynamic_cast<acad::Text*>(e)) textos.push_back(t->TextString());
        if (auto* i = dynamic_cast<acad::BlockReference*>(e)) blocos.push_back(i->Name() + "/" + i->Layer());
        if (auto* l = dynamic_cast<acad::Line*>(e)) linha = l;
    }
    EXPECT_EQ(textos, (std::vector<std::string>{"Ação Ω", "B"}));
    EXPECT_EQ(blocos, (std::vector<std::string>{"PL/PL", "PL/PL"}));
    ASSERT_NE(linha, nullptr);
    EXPECT_EQ(linha->Layer(), "REDE");
    EXPECT_DOUBLE_EQ(linha->StartPoint().z, 101.5);
    std::vector<int> tipos;
    std::vector<acad::Variant> valores;
    linha->GetXData("NUMEROTRE", tipos, valores);
    ASSERT_EQ(valores.size(), 5u);
    EXPECT_EQ(valores[1].AsString(), "001-001");
    EXPECT_EQ(valores[2].AsString(), "Ação Ω");
    EXPECT_EQ(valores[3].AsString(), "Asfalto");
    EXPECT_EQ(valores[4].AsString(), "SIM");
}

TEST_F(ExportaDxf, WhatStopsTheExportLeavesNoFile)
{
    Rede();
    CapturaENumera();
    const fs::path arquivo = pasta / "r.dxf";

    // Cancelled.
    Salva(std::nullopt);
    EXPECT_EQ(Mensagens(), std::vector<std::string>{"Atenção: Nenhum arquivo selecionado"});
    EXPECT_FALSE(fs::exists(arquivo));

    // A ground elevation the design program cannot read: told before asking.
    respostas.Limpa();
    gPVs[1].CT = "";
    gPVs[0].CT = "101,5";
    pedidos.clear();
    Salva(arquivo);
    EXPECT_TRUE(pedidos.empty());
    ASSERT_EQ(Mensagens().size(), 1u);
    EXPECT_NE(Mensagens()[0].find("PV A: CT \"101,5\""), std::string::npos) << Mensagens()[0];
    EXPECT_NE(Mensagens()[0].find("PV B: CT \"\""), std::string::npos);
    EXPECT_FALSE(fs::exists(arquivo));
    gPVs[0].CT = "101.5";
    gPVs[1].CT = "-3";

    // A catalogue without its tail: an older file of that name stays as it was.
    {
        std::ofstream(arquivo) << "antigo";
    }
    const fs::path copia = pasta / "rereva2000r.mdb";
    fs::copy_file(gMdbPath, copia);
    gMdbPath = copia.string();
    sewertest::ExecutaSql(copia, "DROP TABLE dxfEND;");
    respostas.Limpa();
    Salva(arquivo);
    ASSERT_EQ(Mensagens().size(), 1u);
    EXPECT_NE(Mensagens()[0].find("dxfEND"), std::string::npos) << Mensagens()[0];
    EXPECT_NE(Mensagens()[0].find(arquivo.string()), std::string::npos);
    EXPECT_EQ(Bytes(arquivo), "antigo");
    EXPECT_EQ(std::distance(fs::directory_iterator(pasta.Caminho()), fs::directory_iterator()), 2);
}
