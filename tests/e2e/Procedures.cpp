// The system's procedures a script may call by name: those that no user path
// reaches yet. Keep this list short; a procedure leaves it once the program
// gives the user a way to it.

#include <stdexcept>

#include "cad/modAcad.h"
#include "e2e/Runner.h"
#include "e2e/Values.h"
#include "platform/forms/MsgBox.h"
#include "shell/modArquivos.h"
#include "shell/modMensagem.h"

namespace e2e {

namespace {

void Arguments(const std::vector<std::string>& args, std::size_t min, std::size_t max, const char* usage)
{
    if (args.size() < min || args.size() > max) throw std::invalid_argument(std::string("call ") + usage);
}

// ConectaAcad [DwgName [Template]]: results ConectaAcad (true/false) and
// DwgName (the drawing now worked on).
void CallConectaAcad(const std::vector<std::string>& args, Results& results)
{
    Arguments(args, 0, 2, "ConectaAcad [DwgName [Template]]");
    std::string dwg = args.empty() ? "" : args[0];
    const bool ok = ConectaAcad(dwg, args.size() > 1 ? args[1] : "");
    results["ConectaAcad"] = FormatBool(ok);
    results["DwgName"] = dwg;
}

// ExibeMensagem Estilo Titulo Mensagem [CheckCaption [CheckValue]]: results
// OK, Cancel, CheckValue (true/false), Left and Top (twips).
void CallExibeMensagem(const std::vector<std::string>& args, Results& results)
{
    const char* usage = "ExibeMensagem Estilo Titulo Mensagem [CheckCaption [CheckValue]]";
    Arguments(args, 3, 5, usage);
    const auto estilo = ParseInteger(args[0]);
    if (!estilo) throw std::invalid_argument(std::string("call ") + usage + ": Estilo is a whole number");
    bool check = false;
    if (args.size() > 4) {
        const auto b = ParseBool(args[4]);
        if (!b) throw std::invalid_argument(std::string("call ") + usage + ": CheckValue is true or false");
        check = *b;
    }
    bool ok = false, cancel = false;
    int left = 0, top = 0;
    ExibeMensagem(*estilo, args[1], args[2], ok, cancel, check, args.size() > 3 ? args[3] : "", left, top);
    results["OK"] = FormatBool(ok);
    results["Cancel"] = FormatBool(cancel);
    results["CheckValue"] = FormatBool(check);
    results["Left"] = std::to_string(left);
    results["Top"] = std::to_string(top);
}

// MsgBox Prompt [Buttons [Title]]: result MsgBox, the number of the button
// pressed (vbOK 1 ... vbNo 7).
void CallMsgBox(const std::vector<std::string>& args, Results& results)
{
    const char* usage = "MsgBox Prompt [Buttons [Title]]";
    Arguments(args, 1, 3, usage);
    int buttons = forms::vbOKOnly;
    if (args.size() > 1) {
        const auto b = ParseInteger(args[1]);
        if (!b) throw std::invalid_argument(std::string("call ") + usage + ": Buttons is a whole number");
        buttons = *b;
    }
    results["MsgBox"] = std::to_string(forms::MsgBox(args[0], buttons, args.size() > 2 ? args[2] : ""));
}

// OpenWithShell Path: the file handed to the program that opens its type.
void CallOpenWithShell(const std::vector<std::string>& args, Results&)
{
    Arguments(args, 1, 1, "OpenWithShell Path");
    std::string path = args[0];
    OpenWithShell(path);
}

}  // namespace

std::map<std::string, Procedure> SystemProcedures()
{
    return {
        {"ConectaAcad", CallConectaAcad},
        {"ExibeMensagem", CallExibeMensagem},
        {"MsgBox", CallMsgBox},
        {"OpenWithShell", CallOpenWithShell},
    };
}

}  // namespace e2e
