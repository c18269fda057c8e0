#include "sewer/frmEditList.h"

#include "sewer/clsSANDb.h"

using namespace forms;

frmEditList::frmEditList() : DialogoDeCorrecao("frmEditList", 4575, 4620)
{
    List1.Move(120, 1200, 4335, 1815);
    // Right of the visible area until the diameter layout brings it in.
    List2.Move(4920, 1200, 735, 1815);
    Label2.Move(120, 3060, 4335, 285);
    Label2.SetBorderStyle(1);
    Label3.Move(4920, 3060, 735, 285);
    Label3.SetBorderStyle(1);
    Check1.Move(120, 3420, 4335, 255);
    Check1.SetCaption("Repassar para todas as ocorrencias semelhantes.");
    Check2.Move(120, 3720, 4335, 255);
    Check2.SetCaption("Não mostrar mais esta mensagem.");

    Load += [this] { Form_Load(); };
    List1.Click += [this] { List1_Click(); };
    List2.Click += [this] { List2_Click(); };
    Check1.Click += [this] { Check1_Click(); };
    Check2.Click += [this] { Check2_Click(); };
}

void frmEditList::SetObjetivo(const std::string& Objetivo)
{
    objetivo_ = Objetivo;
    List1.Clear();
    List2.Clear();
    // The design's layout, which the diameters change.
    List1.SetWidth(4335);
    Label2.SetWidth(4335);
    List2.SetLeft(4920);
    Label3.SetLeft(4920);
    if (Objetivo == "Etapa") {
        for (const TRLayerParamRec& e : gEtapas) List1.AddItem(e.Descricao);
    } else if (Objetivo == "Material") {
        for (const MaterialRec& m : gMateriais) List1.AddItem(m.Material);
    } else if (Objetivo == "Pavimento") {
        for (const PavimentoRec& p : gPavimentos) List1.AddItem(p.Nome);
    } else if (Objetivo == "Diametro") {
        List1.SetWidth(2535);
        Label2.SetWidth(2535);
        List2.SetLeft(3720);
        Label3.SetLeft(3720);
        for (const MaterialRec& m : gMateriais) List1.AddItem(m.Material);
    } else if (Objetivo == "Contribuicao") {
        for (const char* c : {"SIM", "UNI", "NAO"}) List1.AddItem(c);
    }
}

void frmEditList::SetMensagem(const std::string& Mensagem) { Label1.SetCaption(Mensagem); }

void frmEditList::Form_Load()
{
    Check1.SetValue(vbUnchecked);
    Check2.SetValue(vbUnchecked);
    Repassar = false;
    NaoMostrar = false;
    Escolha1.clear();
    Escolha2.clear();
    Label2.SetCaption("");
    Label3.SetCaption("");
}

void frmEditList::List1_Click()
{
    const int i = List1.ListIndex();
    if (i < 0) return;
    // A stage is stored by its own number, which need not be its place in the list.
    if (objetivo_ == "Etapa")
        Escolha1 = std::to_string(EtapaDoItem(i));
    else
        Escolha1 = List1.List(i);
    Label2.SetCaption(Escolha1);
    Label3.SetCaption("");
    if (objetivo_ == "Diametro") {
        List2.Clear();
        Escolha2.clear();
        if (i < static_cast<int>(gMateriais.size()))
            for (const DiamDegrauRec& d : gMateriais[static_cast<std::size_t>(i)].Diametros) List2.AddItem(d.Diametro);
    }
}

void frmEditList::List2_Click()
{
    const int i = List2.ListIndex();
    if (i < 0) return;
    Escolha2 = List2.List(i);
    Label3.SetCaption(Escolha2);
}

// A choice, and for a diameter both of them, before "OK" closes the dialog.
bool frmEditList::Aceita() { return !Escolha1.empty() && (objetivo_ != "Diametro" || !Escolha2.empty()); }

void frmEditList::Check1_Click() { Repassar = Check1.Value() == vbChecked; }

void frmEditList::Check2_Click() { NaoMostrar = Check2.Value() == vbChecked; }
