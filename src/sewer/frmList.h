#pragma once
// The material picker of the design-table import: offered for a material name
// that the catalogue does not know, it lists the catalogue's materials and
// returns the one the user chose in `Selected` ("" when the user cancelled or
// closed it). The caller fills List1 and sets MyCaption before showing it.

#include <string>

#include "platform/forms/Forms.h"

class frmList : public forms::Form {
public:
    frmList();

    // The picker's answer.
    std::string Selected;

    // The title line (Label1).
    std::string MyCaption() const { return Label1.Caption(); }
    void SetMyCaption(const std::string& Caption) { Label1.SetCaption(Caption); }

    // Proposes `Material` as the answer and shows the picker modal over Owner.
    void SelectMaterial(forms::Form* Owner, const std::string& Material);

    forms::PictureBox& Picture1 = Add<forms::PictureBox>("Picture1");
    forms::Label& Label1 = Add<forms::Label>("Label1");
    forms::ListBox& List1 = Add<forms::ListBox>("List1");
    forms::Label& Label2 = Add<forms::Label>("Label2");
    // 0 "&OK", 1 "&Cancelar".
    forms::ControlArray<forms::CommandButton>& Command1 = AddArray<forms::CommandButton>("Command1", {0, 1});
    forms::CommandButton& cmdEnd = Add<forms::CommandButton>("cmdEnd");
    forms::ControlArray<forms::Shape>& Shape1 = AddArray<forms::Shape>("Shape1", {0, 1, 2});

private:
    void List1_Click();
    void Command1_Click(int Index);
};
