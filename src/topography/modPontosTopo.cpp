#include "topography/modPontosTopo.h"

#include <algorithm>
#include <exception>
#include <functional>
#include <new>
#include <optional>

#include "cad/modAcad.h"
#include "cad/modGeometria.h"
#include "cad/modSelecao.h"
#include "platform/acad/Error.h"
#include "platform/forms/Application.h"
#include "platform/os/TextFile.h"
#include "shell/ProgressBar.h"
#include "shell/clsCommonDialog.h"
#include "shell/modGlobais.h"
#include "shell/modMensagem.h"
#include "topography/PontoTopografico.h"
#include "topography/frmInsPoint.h"

namespace {

// At most this many skipped lines are named in the closing message.
constexpr std::size_t kLinhasNomeadas = 20;
// Longer than any survey point's line can be (five short fields): a file with
// such a line is not a file of points, and is not read whole into memory.
constexpr std::size_t kLinhaMaisLonga = 64 * 1024;

std::vector<std::string> Campos(const std::string& Linha)
{
    std::vector<std::string> campos;
    std::size_t inicio = 0;
    for (;;) {
        const std::size_t tab = Linha.find('\t', inicio);
        campos.push_back(Linha.substr(inicio, tab == std::string::npos ? std::string::npos : tab - inicio));
        if (tab == std::string::npos) break;
        inicio = tab + 1;
    }
    return campos;
}

bool EmBranco(const std::string& Linha) { return Linha.find_first_not_of(" \t\r") == std::string::npos; }

}  // namespace

void InserirPonto()
{
    frmInsPoint frm;
    frm.Show(forms::vbModal, gMainForm);
    if (!frm.OK) {
        forms::Unload(frm);
        return;
    }
    DadosPonto dados{frm.Text1(0).Text(), frm.Text1(1).Text(), frm.Text1(2).Text()};
    forms::Unload(frm);
    if (dados.Nome.empty() || dados.Cota.empty()) return;
    if (!NomePontoValido(dados.Nome)) {
        ExibeMensagem(0, "Inserir Ponto",
                      "O nome \"" + dados.Nome +
                          "\" não pode ser usado como nome de ponto: ele não pode ter os caracteres "
                          "< > / \\ \" : ; ? * | , = ` nem mais de 255 caracteres.\rO ponto não foi inserido.");
        return;
    }
    if (!NumeroEscrito(dados.Cota)) {
        ExibeMensagem(
            0, "Inserir Ponto",
            "A cota \"" + dados.Cota + "\" do ponto " + dados.Nome + " não é um número.\rO ponto não foi inserido.");
        return;
    }
    if (!ConectaAcad()) return;
    const std::optional<Ponto> p = GetPonto(std::nullopt, "Ponto de inserção: ");
    if (!p) return;
    try {
        CamadasPontoTopografico();
        DesenhaPontoTopografico(*p, dados);
    } catch (const acad::Error& e) {
        ExibeMensagem(0, "Inserir Ponto", "O ponto " + dados.Nome + " não foi inserido:\r" + e.Description());
    }
}

void ImportarPontosTxt(ProgressBar& Barra)
{
    clsCommonDialog dlg;
    dlg.SetDefaultExt("txt");
    dlg.SetFilter("Arquivo de Pontos (*.txt)|*.txt");
    if (dlg.ShowOpen(gMainForm) <= 0) return;
    ImportaArquivoPontos(dlg.Filename(), Barra);
}

std::string MensagemImportacao(const ResultadoImportacao& R)
{
    std::string texto = "Foram inseridos " + std::to_string(R.Inseridos) + " pontos.";
    if (R.NaoImportadas.empty()) return texto;
    texto += "\rLinhas não importadas: ";
    for (std::size_t i = 0; i < R.NaoImportadas.size() && i < kLinhasNomeadas; ++i)
        texto += (i ? ", " : "") + std::to_string(R.NaoImportadas[i]);
    if (R.NaoImportadas.size() > kLinhasNomeadas) texto += ", ...";
    return texto;
}

namespace {

// Reads the file into the drawing, counting in `r`; true when it was read
// through, false when it stopped (a refusal given to `falhaArquivo`, or no
// drawing to draw in).
bool Importa(const std::string& Arquivo, ProgressBar& Barra, ResultadoImportacao& r,
             const std::function<void(const std::string&)>& falhaArquivo)
{
    os::TextReader leitor;
    if (const os::Status s = leitor.Open(Arquivo, kLinhaMaisLonga); !s) {
        falhaArquivo(s.message);
        return false;
    }
    std::string linha;
    while (leitor.ReadLine(linha)) {
        ++r.Linhas;
        forms::DoEvents();
    }
    if (!leitor.Failure()) {
        falhaArquivo(leitor.Failure().message);
        return false;
    }
    leitor.Close();

    Barra.Progress_Start(r.Linhas);
    if (!ConectaAcad()) {
        Barra.Progress_Start(0);
        return false;
    }
    try {
        CamadasPontoTopografico();
    } catch (const acad::Error& e) {
        Barra.Progress_Start(0);
        falhaArquivo(e.Description());
        return false;
    }

    if (const os::Status s = leitor.Open(Arquivo, kLinhaMaisLonga); !s) {
        Barra.Progress_Start(0);
        falhaArquivo(s.message);
        return false;
    }
    long long numero = 0;
    while (leitor.ReadLine(linha)) {
        forms::DoEvents();
        ++numero;
        Barra.Progress();
        if (EmBranco(linha)) continue;
        const std::vector<std::string> c = Campos(linha);
        // Name, X, Y, elevation and description; X and Y each by itself, so a
        // decimal comma in X does not move the point.
        if (c.size() < 5 || !NumeroEscrito(c[1]) || !NumeroEscrito(c[2]) || !NumeroEscrito(c[3]) ||
            !NomePontoValido(c[0])) {
            r.NaoImportadas.push_back(numero);
            continue;
        }
        const Ponto p(StrToDbl(c[1]), StrToDbl(c[2]), 0.0);
        try {
            DesenhaPontoTopografico(p, {c[0], c[3], c[4]});
            ++r.Inseridos;
        } catch (const acad::Error&) {
            r.NaoImportadas.push_back(numero);
        }
    }
    Barra.Progress_Start(0);
    if (!leitor.Failure()) {
        falhaArquivo(leitor.Failure().message + "\r" + MensagemImportacao(r));
        return false;
    }
    return true;
}

}  // namespace

ResultadoImportacao ImportaArquivoPontos(const std::string& Arquivo, ProgressBar& Barra, bool Mostra)
{
    auto falhaArquivo = [&](const std::string& Motivo) {
        if (Mostra) ExibeMensagem(0, "Inserir Pontos", "Não foi possível ler o arquivo " + Arquivo + ":\r" + Motivo);
    };
    ResultadoImportacao r;
    try {
        if (Importa(Arquivo, Barra, r, falhaArquivo) && Mostra)
            ExibeMensagem(0, "Inserir Pontos", MensagemImportacao(r));
    } catch (const std::bad_alloc&) {
        // The points drawn before it stay, and are counted.
        Barra.Progress_Start(0);
        falhaArquivo("Memória insuficiente.\r" + MensagemImportacao(r));
    }
    return r;
}
