// The PV and TR tables, the manhole-type lookups, and the readers of the
// sewer blocks of a drawing.

#include <gtest/gtest.h>

#include "SewerTestSupport.h"
#include "sewer/clsSANDb.h"
#include "sewer/modBlocosSAN.h"
#include "sewer/modRedeSAN.h"

using namespace sewertest;

namespace {

class Tabelas : public SewerTest {
protected:
    int Adiciona(const std::string& Nome, double X, int Saidas, const std::string& Diam, std::int32_t Id = 0,
                 const std::string& Handle = "")
    {
        return AddPV(Nome, X, 0, "100", "99", "1", 1, Saidas, 1 - Saidas, Diam, X + 10, 0, Id, Handle, 7);
    }
    acad::BlockReference* Trecho()
    {
        std::string codigo;
        return des.DrawTR(PV(Ponto(0, 0), "1", "100.000"), PV(Ponto(50, 0), "2", "99.000"), "150", "50.00", "0.010000",
                          "PVC", 1, "1-2", "Terra", codigo);
    }

    // What ReadTRAttribs gives, starting from recognisable values.
    std::string trecho = "-", material = "-", diametro = "-", pavimento = "-", codigo = "-", etapa = "-";
    double comp = -1, decl = -1, tcs = -1, tcp = -1;
    std::optional<Ponto> pv1, pv2;
    std::string LeTrecho(acad::BlockReference* B)
    {
        return ReadTRAttribs(B, trecho, material, diametro, comp, decl, pavimento, codigo, tcs, tcp, pv1, pv2, etapa);
    }
};

}  // namespace

TEST_F(Tabelas, AManholeMetAgainIsCountedNotAdded)
{
    EXPECT_EQ(Adiciona("PV-1", 0, 1, "150"), 0);
    EXPECT_EQ(Adiciona("PV-2", 50, 0, "150"), 1);
    EXPECT_EQ(Adiciona("PV-1", 99, 1, "200"), 0);  // by name: coordinates ignored
    EXPECT_EQ(Adiciona("PV-1", 99, 0, "abc"), 0);  // a diameter that is not a number counts as none
    ASSERT_EQ(gNumPVs, 2);
    const PVRec& pv = gPVs[0];
    EXPECT_EQ(pv.NumRepeticoes, 2);
    EXPECT_EQ(pv.NumSaidas, 2);
    EXPECT_EQ(pv.DiamMax, 200);
    EXPECT_EQ(pv.X, 0);
    EXPECT_EQ(pv.XJ, 10);
    EXPECT_EQ(pv.Etapa, "1");
    EXPECT_EQ(pv.Coletor, 7);
    EXPECT_EQ(gPVs[1].DiamMax, 0);  // met once

    // With a handle the object decides: same name, other object → new record;
    // new name, known object → that record.
    EXPECT_EQ(Adiciona("PV-1", 0, 1, "150", 501, "1F5"), 2);
    EXPECT_EQ(Adiciona("PV-9", 0, 1, "150", 501, "1F5"), 2);
    EXPECT_EQ(gPVs[2].Nome, "PV-1");
    EXPECT_EQ(gPVs[2].NumRepeticoes, 1);
    EXPECT_EQ(GetPVKey("PV-1"), 0);  // the first of that name
    EXPECT_EQ(GetPVKey("PV-X"), 0);
    // By name again: every record of that name is counted, the last one's index given.
    EXPECT_EQ(Adiciona("PV-1", 0, 1, "150"), 2);
    EXPECT_EQ(gPVs[0].NumRepeticoes, 3);
    EXPECT_EQ(gPVs[2].NumRepeticoes, 2);

    // An emptied table keeps one blank record, which the first addition takes.
    gPVs.assign(1, PVRec{});
    gNumPVs = 0;
    EXPECT_EQ(Adiciona("", 0, 1, "150"), 0);  // even a nameless PV is new
    EXPECT_EQ(gNumPVs, 1);

    // No 16-bit limit on the tables.
    gPVs.resize(40000);
    gNumPVs = 40000;
    EXPECT_EQ(Adiciona("PV-40000", 0, 1, "150", 9, "9"), 40000);
    for (int i = 0; i < 40000; ++i)
        AddTR(std::to_string(i), "150", "50", "0.01", "PVC", "1", 1, 2, 3, "", "", 0, 1, "Terra", "SIM");
    EXPECT_EQ(gNumTRs, 40000);
    EXPECT_EQ(gTRs[39999].Trecho, "39999");
    EXPECT_EQ(gTRs[39999].Aux3, "-0-");
    EXPECT_EQ(gTRs[39999].Contrib, "SIM");
    EXPECT_EQ(gTRs[39999].IndPV2, 1);
}

TEST_F(Tabelas, ManholeTypesAreChosenBeforeTheLastThreeAndDescribedByBlock)
{
    EXPECT_EQ(GetPVBlockDesc("E-PV"), "1000");
    EXPECT_EQ(GetPVBlockDesc("E-PV250"), "2500");
    EXPECT_EQ(GetPVBlockDesc("E-NADA"), "");
    EXPECT_EQ(ChoosePVBlock(1, "2,0", 150), "E-PV");
    // A deeper manhole gets a wider type, described as that type.
    EXPECT_EQ(GetPVBlockDesc(ChoosePVBlock(1, "3.5", 150)), "1200");
    EXPECT_EQ(ChoosePVBlock(1, "9", 150), "E-PV250");  // deeper than every type the rules may choose

    const auto tipo = [](const std::string& bloco, double altura) {
        PVBlockRec t;
        t.Bloco = bloco;
        t.AlturaMax = altura;
        t.DiamSaida = 1500;
        t.NumEntradas = 9;
        return t;
    };
    gPVBlocos = {tipo("A", 2), tipo("B", 4), tipo("C", 6), tipo("D", 8), tipo("E", 10)};
    EXPECT_EQ(ChoosePVBlock(1, "1.5", 150), "A");
    EXPECT_EQ(ChoosePVBlock(1, "3", 150), "B");
    EXPECT_EQ(ChoosePVBlock(1, "5", 150), "E");    // C and D lie among the last three
    EXPECT_EQ(ChoosePVBlock(9, "1.5", 150), "E");  // no inlet to spare
    EXPECT_EQ(ChoosePVBlock(1, "fundo", 150), "E");
    gPVBlocos.resize(3);
    EXPECT_EQ(ChoosePVBlock(1, "1", 150), "C");
    gPVBlocos.clear();
    EXPECT_EQ(ChoosePVBlock(1, "1", 150), "");
}

TEST_F(Tabelas, ManholeBlocksAreReadBackByTag)
{
    acad::BlockReference* pv = des.DrawPV(Ponto(0, 0), 0.0, "E-PV", "PV-3", "101,25", "99.5", "1.75", 2, false);
    Atributo(pv, "ET")->SetTextString("  2 ");
    std::string numero, et;
    double ct = -1, cs = -1, cp = -1;
    EXPECT_EQ(ReadPVAttribs(pv, numero, ct, cs, cp, et), "");
    EXPECT_EQ(numero, "PV-3");
    EXPECT_DOUBLE_EQ(ct, 101.25);
    EXPECT_DOUBLE_EQ(cs, 99.5);
    EXPECT_DOUBLE_EQ(cp, 1.75);
    EXPECT_EQ(et, "2");

    // A block without "CS" keeps the caller's invert; a text that is not a number is reported.
    gBlocosSAN.push_back({"E-PVSEMCS",
                          {{"Attribute", "1", "0,0", "01,NUMERO,N_PV,0,0,2,ROMANS"},
                           {"Attribute", "1", "0,1", "02,CT,Texto_PV,0,0,7,ROMANS"}}});
    acad::BlockReference* sem = des.DrawPV(Ponto(20, 0), 0.0, "E-PVSEMCS", "PV-4", "cem", "", "", 1, false);
    ASSERT_NE(sem, nullptr);
    cs = -1;
    EXPECT_EQ(ReadPVAttribs(sem, numero, ct, cs, cp, et),
              "E-PVSEMCS (" + sem->Handle() + "): o atributo CT (\"cem\") não é um número.");
    EXPECT_EQ(numero, "PV-4");
    EXPECT_DOUBLE_EQ(ct, 101.25);
    EXPECT_DOUBLE_EQ(cs, -1);
}

TEST_F(Tabelas, ReachBlocksAreReadBackAndTheirPointTextsPutBack)
{
    acad::BlockReference* tr = Trecho();
    acad::AttributeReference* a1 = Atributo(tr, "PV1");
    a1->SetInsertionPoint({5, 5, 0});
    a1->SetHeight(2);
    a1->SetLayer("0");
    a1->SetVisible(false);
    EXPECT_EQ(LeTrecho(tr), "");
    EXPECT_EQ(trecho, "1-2");
    EXPECT_EQ(material, "PVC");
    EXPECT_EQ(diametro, "150");
    EXPECT_DOUBLE_EQ(comp, 50);
    EXPECT_DOUBLE_EQ(decl, 0.01);
    EXPECT_EQ(pavimento, "Terra");
    EXPECT_EQ(codigo, "D");
    EXPECT_DOUBLE_EQ(tcs, 99.5);
    EXPECT_DOUBLE_EQ(tcp, 0.5);
    EXPECT_EQ(etapa, "1");
    ASSERT_TRUE(pv1 && pv2);
    EXPECT_EQ(*pv1, Ponto(0, 0, 0));
    EXPECT_EQ(*pv2, Ponto(50, 0, 0));
    EXPECT_EQ(Ponto(a1->InsertionPoint()), Ponto(0, 0, 0));
    EXPECT_DOUBLE_EQ(a1->Height(), 0.0001);
    EXPECT_EQ(a1->Layer(), "FLUXO");
    EXPECT_TRUE(a1->Visible());

    // The drop code from the two marks, "O" exactly.
    const auto codigoCom = [&](const std::string& TQ, const std::string& DG) {
        Atributo(tr, "TQ")->SetTextString(TQ);
        Atributo(tr, "DG")->SetTextString(DG);
        LeTrecho(tr);
        return codigo;
    };
    EXPECT_EQ(codigoCom("O", "O"), "T");
    EXPECT_EQ(codigoCom("O", ""), "T");
    EXPECT_EQ(codigoCom("", "O"), "D");
    EXPECT_EQ(codigoCom("o", ""), "");

    // Texts that make no sense are reported; the rest is read all the same.
    Atributo(tr, "PV2")->SetTextString("sem coordenadas");
    Atributo(tr, "DD")->SetTextString("200");
    Atributo(tr, "MAT")->SetTextString("PEAD");
    pv2 = Ponto(1, 1);
    diametro = "-";
    const std::string b = "E-TRSAN (" + tr->Handle() + "): o atributo ";
    EXPECT_EQ(LeTrecho(tr), b + "DD (\"200\") não separa diâmetro e comprimento com \"-\".\r" + b +
                                "PV2 (\"sem coordenadas\") não contém coordenadas \"x,y\".");
    EXPECT_FALSE(pv2);
    EXPECT_EQ(diametro, "-");
    EXPECT_EQ(material, "PEAD");
    EXPECT_EQ(Ponto(Atributo(tr, "PV2")->InsertionPoint()), Ponto(50, 0, 0));  // left where it was
}

TEST_F(Tabelas, GenericReachBlocksAreReadBack)
{
    acad::BlockReference* tr =
        des.InsertTRGenObjs(des.InsertPVGen(Ponto(0, 0), "G1", "100", 1), des.InsertPVGen(Ponto(40, 30), "G2", "99", 1),
                            2, "NAO", "Terra", "PVC");
    ASSERT_NE(tr, nullptr);
    Atributo(tr, "IPV1")->SetTextString("0.0000 0.0000");
    Atributo(tr, "IPV2")->SetInsertionPoint({1, 1, 0});
    std::string t, c, ct, et, pav, mat, p1, p2;
    std::optional<Ponto> i1 = Ponto(9, 9), i2;
    EXPECT_NE(ReadTRBlockAttribs(tr, t, c, ct, et, pav, mat, p1, p2, i1, i2).find("IPV1"), std::string::npos);
    EXPECT_EQ(t + "|" + c + "|" + ct + "|" + et + "|" + pav + "|" + mat + "|" + p1 + "|" + p2,
              "G1-G2|50.00|NAO|2|Terra|PVC|G1|G2");
    EXPECT_FALSE(i1);
    ASSERT_TRUE(i2);
    EXPECT_EQ(*i2, Ponto(40, 30, 0));
    EXPECT_EQ(Ponto(Atributo(tr, "IPV2")->InsertionPoint()), Ponto(40, 30, 0));
}
