#include "app/frmAbrirDir.h"

#include "platform/os/Files.h"
#include "shell/modJanela.h"
#include "shell/modMensagem.h"

using namespace forms;

namespace {

const std::string kOutra = "Renomeie a pasta ou escolha outra.";

// A long path is shown as its first five characters, "..." and its last part
// ("/home.../Dados"); one whose last separator is within its first nine
// characters is shown whole. Counted in characters, not bytes.
std::string Encurta(const std::string& path)
{
    std::size_t chars = 0, lastSep = 0, cut5 = path.size();
    for (std::size_t i = 0; i < path.size(); ++i) {
        if ((path[i] & 0xC0) == 0x80) continue;
        if (chars == 5) cut5 = i;
        ++chars;
        if (path[i] == '/') lastSep = chars;  // 1-based position
    }
    if (lastSep <= 9) return path;
    std::size_t at = path.rfind('/');
    return path.substr(0, cut5) + "..." + path.substr(at);
}

}  // namespace

// "IniFile.txt" holds the folder as one line, and the drawing host reads a "\"
// in the names of the block files beside the database as a separator of folders.
std::string frmAbrirDir::Recusa(const std::string& Pasta)
{
    const std::string aviso = "O nome da pasta\r\n" + Pasta + "\r\n";
    if (Pasta.find('\\') != std::string::npos)
        return aviso + "tem \"\\\", que o programa lê como separador de pastas.\r\n\r\n" + kOutra;
    if (Pasta.find_first_of("\r\n") != std::string::npos)
        return aviso + "tem uma quebra de linha, que o arquivo IniFile.txt não guarda.\r\n\r\n" + kOutra;
    return {};
}

frmAbrirDir::frmAbrirDir() : Form("frmAbrirDir")
{
    SetBorderStyle(0);
    SetCaption("Abrir Projeto");
    Move(0, 0, 4200, 4335);
    Picture2.Move(120, 120, 3960, 330);
    Picture2.SetBorderStyle(0);
    Picture2.SetBackColor(vbActiveTitleBar);
    Picture2.SetForeColor(vbTitleBarText);
    Picture2.SetFontBold(true);
    Label2.Move(120, 540, 3960, 255);
    Label2.SetCaption("Localize o arquivo Rereva2000r.mdb");
    Drive1.Move(120, 840, 3960, 315);
    Dir1.Move(120, 1215, 3960, 2160);
    Label1.Move(120, 3435, 3960, 255);
    CmdCancel.Move(2025, 3810, 975, 375);
    CmdCancel.SetCaption("Cancelar");
    CmdOK.Move(3105, 3810, 975, 375);
    CmdOK.SetCaption("OK");
    CmdOK.SetEnabled(false);
    AplicaPele(*this, Shape1, nullptr, true, {&Picture2});

    Load += [this] { Form_Load(); };
    Drive1.Change += [this] { Drive1_Change(); };
    Dir1.Change += [this] { Dir1_Change(); };
    CmdOK.Click += [this] { CmdOK_Click(); };
    CmdCancel.Click += [this] { CmdCancel_Click(); };
}

// The title strip carries the window's caption. A form shown again after
// its unload opens as the first time: nothing confirmed until a folder is chosen.
void frmAbrirDir::Form_Load()
{
    CmdOK.SetEnabled(false);
    Picture2.SetCurrentX(90);
    Picture2.SetCurrentY(45);
    Picture2.Print(Caption());
}

void frmAbrirDir::Drive1_Change() { Dir1.SetPath(Drive1.Drive()); }

// Only a folder that holds the database can be confirmed.
void frmAbrirDir::Dir1_Change()
{
    const std::string pasta = Dir1.Path();
    Label1.SetCaption(Encurta(pasta));
    CmdOK.SetEnabled(os::FileExists(pasta + "/rereva2000r.mdb"));
}

// A folder whose name cannot be kept is refused, saying why; the picker stays.
void frmAbrirDir::CmdOK_Click()
{
    if (const std::string motivo = Recusa(Dir1.Path()); !motivo.empty()) {
        ExibeMensagem(0, "Atenção", motivo);
        return;
    }
    OK = true;
    Cancel = false;
    Hide();
    // Shown again, the picker waits for a choice again.
    CmdOK.SetEnabled(false);
}

void frmAbrirDir::CmdCancel_Click()
{
    Cancel = true;
    OK = false;
    Hide();
    CmdOK.SetEnabled(false);
}
