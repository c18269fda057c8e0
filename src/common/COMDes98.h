#pragma once
// The common drawing tools panel: a user control on the main window's fourth
// tab. It serves the cadastre of a town (sectors, city blocks, parcels,
// buildings and water meters), all drawn as blocks of the topography catalogue
// and numbered from the sector and block boxes that stay above the tabs.
//
//   "Setor"  clipping an external reference to a sector outline
//   "Quad."  the other city-block kinds and the parcel grid
//   "Lote"   parcels, buildings and water meters
//   "Editar" erasing a grid, rebuilding the building blocks
//
// Every command attaches to the drawing host itself (ConectaAcad).

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/modGradeLotes.h"
#include "platform/forms/Forms.h"
#include "shell/ProgressBar.h"

namespace acad {
class Entity;
}
class clsTOPDb;
struct EnderecoCadastro;

class COMDes98 : public forms::UserControl {
public:
    explicit COMDes98(Init init);
    ~COMDes98() override;

    // Called by the main window each time the panel's tab is chosen: reads the
    // block catalogue shared with the topography panel (a failure is told by
    // the loader, which keeps the catalogue it had).
    void Start();

    // The seven colours of the grid swatch (red, yellow, green, cyan, blue,
    // magenta, black); GRScr's value v paints CoresGrade[v - 1].
    long CoresGrade[7] = {};

    // ------------------------------------------------------------- above the tabs
    // 0 the sector, 1 the city block.
    forms::ControlArray<forms::Frame>& Frame1 = AddArray<forms::Frame>("Frame1", {0, 1});
    // 0 " Setor:", 1 " Quadra:".
    forms::ControlArray<forms::Label>& Label1 =
        ComElemento(AddArray<forms::Label>("Label1", {0}, Frame1(0)), 1, Frame1(1));
    forms::TextBox& SetorTxt = Add<forms::TextBox>("SetorTxt", Frame1(0));
    forms::TextBox& QuadraTxt = Add<forms::TextBox>("QuadraTxt", Frame1(1));
    // The numbered blocks, by index: 0 COM_SETOR, 1 COM_QUADRA, 2 COM_QUADRAD,
    // 3 COM_QUADRADD, 4 the parcel captured from a grid tick, 5 COM_LOTE.
    // 0 and 1 sit in the frames above the tabs, 2 and 3 on "Quad.", 4 and 5 on
    // "Lote" (placed by the constructor).
    forms::ControlArray<forms::CommandButton>& DrwCmd =
        ComElemento(AddArray<forms::CommandButton>("DrwCmd", {0}, Frame1(0)), 1, Frame1(1));

    forms::TabControl& SSTab1 = ComAbas(Add<forms::TabControl>("SSTab1"), 4);

    // ------------------------------------------------------------- 0 "Setor"
    forms::CommandButton& SETClipCmd = Add<forms::CommandButton>("SETClipCmd", SSTab1.Page(0));

    // ------------------------------------------------------------- 1 "Quad."
    forms::TextBox& QuadraDTxt = Add<forms::TextBox>("QuadraDTxt", SSTab1.Page(1));
    // 0 the first, 1 the last city block of a range.
    forms::ControlArray<forms::TextBox>& QuadraDDTxt = AddArray<forms::TextBox>("QuadraDDTxt", {0, 1}, SSTab1.Page(1));
    forms::Label& QuadraDDLbl = Add<forms::Label>("QuadraDDLbl", SSTab1.Page(1));  // "a"
    // The parcel grid.
    forms::Label& GRLbl = Add<forms::Label>("GRLbl", SSTab1.Page(1));  // " Grade_10"
    forms::HScrollBar& GRScr = Add<forms::HScrollBar>("GRScr", SSTab1.Page(1));
    forms::PictureBox& GRPic = Add<forms::PictureBox>("GRPic", SSTab1.Page(1));
    forms::CommandButton& GRPlineCmd = Add<forms::CommandButton>("GRPlineCmd", SSTab1.Page(1));
    forms::CommandButton& GRJoinCmd = Add<forms::CommandButton>("GRJoinCmd", SSTab1.Page(1));
    forms::CommandButton& GRExecCmd = Add<forms::CommandButton>("GRExecCmd", SSTab1.Page(1));
    forms::CommandButton& GRUndo = Add<forms::CommandButton>("GRUndo", SSTab1.Page(1));
    forms::Label& GRDispLbl = Add<forms::Label>("GRDispLbl", SSTab1.Page(1));  // " Disponível:"

    // ------------------------------------------------------------- 2 "Lote"
    forms::Label& LoteLbl = Add<forms::Label>("LoteLbl", SSTab1.Page(2));  // " Lote:"
    forms::TextBox& LoteTxt = Add<forms::TextBox>("LoteTxt", SSTab1.Page(2));
    forms::Label& UnidLbl = Add<forms::Label>("UnidLbl", SSTab1.Page(2));  // " Unidade:"
    forms::TextBox& UnidTxt = Add<forms::TextBox>("UnidTxt", SSTab1.Page(2));
    forms::HScrollBar& UnidScr = Add<forms::HScrollBar>("UnidScr", SSTab1.Page(2));
    forms::CommandButton& EdifCmd = Add<forms::CommandButton>("EdifCmd", SSTab1.Page(2));
    forms::CheckBox& SequencialCmd = Add<forms::CheckBox>("SequencialCmd", SSTab1.Page(2));
    forms::PictureBox& Picture1 = Add<forms::PictureBox>("Picture1", SSTab1.Page(2));
    // The water meters: 0 COM_HSIM, 1 COM_HNAO, 2 COM_HSIMC, 3 COM_HNAOC.
    forms::ControlArray<forms::Image>& HidrImg = AddArray<forms::Image>("HidrImg", {0, 1, 2, 3}, Picture1);
    // The markers beside them: 0 hovered, 1 pressed.
    forms::ControlArray<forms::Image>& HidUp = AddArray<forms::Image>("HidUp", {0, 1}, Picture1);

    // ------------------------------------------------------------- 3 "Editar"
    forms::CommandButton& DelGradeCmd = Add<forms::CommandButton>("DelGradeCmd", SSTab1.Page(3));
    forms::CommandButton& UpgradeCmd = Add<forms::CommandButton>("UpgradeCmd", SSTab1.Page(3));

    // ------------------------------------------------------------- below the tabs
    ProgressBar& Progress = Add<ProgressBar>("Progress");

private:
    // The tab count is a design value the pages below need before they exist.
    static forms::TabControl& ComAbas(forms::TabControl& Tabs, int Count)
    {
        Tabs.SetTabs(Count);
        return Tabs;
    }
    // An element of an array placed in another container than the first.
    template <class T>
    static forms::ControlArray<T>& ComElemento(forms::ControlArray<T>& Array, int Index, forms::Container& Em)
    {
        Array.AddElement(Index, Em);
        return Array;
    }

    void ArrumaControles();
    void UserControl_Resize();

    // ---- the panel and the numbered blocks
    void SSTab1_Click(int PreviousTab);
    // Enter and space act as the tab's button; other keys but digits and
    // Backspace are dropped.
    void SetorTxt_KeyPress(int& KeyAscii);
    void QuadraTxt_KeyPress(int& KeyAscii);
    void QuadraDTxt_KeyPress(int& KeyAscii);
    void QuadraDDTxt_KeyPress(int Index, int& KeyAscii);
    void UnidScr_Change();
    void GRScr_Change();
    void SequencialCmd_Click();
    void DrwCmd_Click(int Index);

    // ---- the parcel grid
    void GRPlineCmd_Click();   // "Perímetro"
    void GRJoinCmd_Click();    // "Poly Join"
    void GRExecCmd_Click();    // "Executa"
    void GRUndo_Click();       // "Desfaz"
    void DelGradeCmd_Click();  // "Apagar Grade"
    // The parcel captured from a grid tick (DrwCmd(4) and the sequence): true
    // when a parcel was inserted.
    bool InsereLoteGrade();

    // ---- buildings and water meters
    void EdifCmd_Click();  // "Edificações >>"
    // The building numbering of "Edificações >>" and of the sequence: true
    // when a building was numbered.
    bool NumeraEdificacao();
    void HidrImg_MouseDown(int Index);
    void HidrImg_MouseMove(int Index);
    void HidrImg_MouseUp(int Index);
    // The sequence of a meter picture with "Sequencial" checked: parcel,
    // building, meter, stopping at the first step cancelled or failed.
    void Sequencia(const std::string& Bloco);
    // Places one water meter of that block: true when one was placed.
    bool InsereUnidade(const std::string& Bloco);
    // The address of the boxes, or none after the message of the first that
    // is empty or not a whole number.
    std::optional<EnderecoCadastro> EnderecoDasCaixas(const std::string& Titulo);

    // ---- sector clipping and block update
    void SETClipCmd_Click();  // "Clip Setor"
    void UpgradeCmd_Click();  // "Atualiza Blocos Cadastro"

    std::unique_ptr<clsTOPDb> Db_;  // made by the first Start

    // The parcel grid, with the last run for "Desfaz": the perimeter it
    // consumed (CoordsPerimetro) and the arrow and ticks it drew (SelGrade).
    GradeLotes Grade;
};
