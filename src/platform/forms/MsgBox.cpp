#include "platform/forms/MsgBox.h"

#include <vector>

#include "platform/forms/Application.h"
#include "platform/os/Dialogs.h"

namespace forms {

namespace {

struct Layout {
    std::vector<std::string> captions;
    std::vector<int> results;
    os::DialogKind kind;
};

Layout LayoutOf(int buttons)
{
    switch (buttons & 7) {
    case vbOKCancel: return {{"OK", "Cancelar"}, {vbOK, vbCancel}, os::DialogKind::Message};
    case vbAbortRetryIgnore:
        return {{"Anular", "Repetir", "Ignorar"}, {vbAbort, vbRetry, vbIgnore}, os::DialogKind::Message};
    case vbYesNoCancel: return {{"Sim", "Não", "Cancelar"}, {vbYes, vbNo, vbCancel}, os::DialogKind::Confirm};
    case vbYesNo: return {{"Sim", "Não"}, {vbYes, vbNo}, os::DialogKind::Confirm};
    case vbRetryCancel: return {{"Repetir", "Cancelar"}, {vbRetry, vbCancel}, os::DialogKind::Message};
    default: return {{"OK"}, {vbOK}, os::DialogKind::Message};
    }
}

os::MessageIcon IconOf(int buttons)
{
    switch (buttons & 0x70) {
    case vbCritical: return os::MessageIcon::Critical;
    case vbQuestion: return os::MessageIcon::Question;
    case vbExclamation: return os::MessageIcon::Exclamation;
    case vbInformation: return os::MessageIcon::Information;
    default: return os::MessageIcon::None;
    }
}

}  // namespace

int MsgBox(const std::string& Prompt, int Buttons, const std::string& Title)
{
    const Layout layout = LayoutOf(Buttons);
    os::DialogRequest r;
    r.kind = layout.kind;
    r.title = Title.empty() ? App.Title() : Title;
    r.text = Prompt;
    r.buttons = layout.captions;
    r.icon = IconOf(Buttons);
    const int count = static_cast<int>(layout.captions.size());
    const int def = (Buttons & 0x300) >> 8;
    r.defaultButton = def < count ? def : 0;
    r.cancelButton = count - 1;
    const os::DialogAnswer a = os::Ask(r);
    return layout.results[static_cast<std::size_t>(os::ButtonPressed(r, a))];
}

}  // namespace forms
