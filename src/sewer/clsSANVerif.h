#pragma once
// The verification of the designed sewer network: manhole blocks "E-PV*" and
// reach blocks "E-TRSAN" checked against themselves and the sewer catalogue.
// The panel makes one for each prepared verification: `Prepare` fills the
// option list, the panel sets the public members, `Execute` runs the chosen
// passes. Every fault gets a marker "ErroC" on the verification layer, a
// `ConfereErroMsg` event (the panel keeps the fault list) and a line in the
// closing report. Afterwards the object answers the clicks on the option list
// and on the fault list, where each kind of fault offers its correction.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "cad/Ponto.h"
#include "platform/Event.h"
#include "platform/forms/Forms.h"
#include "sewer/modConfSAN.h"
#include "shell/ProgressBar.h"

class clsSANVerif : public VerificacaoSAN {
public:
    clsSANVerif();

    double gTolVerifCota = 0.01;  // elevations, set by the panel before Execute

    // One per fault, right after its marker: ErrType, ObjectId, PVmId, PVjId,
    // Mensagem, Pt1, Pt2 (none when the fault has one point).
    platform::Event<int, std::int32_t, std::int32_t, std::int32_t, std::string, Ponto, std::optional<Ponto>>
        ConfereErroMsg;

    // --- corrections of fault i of ErrList (the fault list's clicks call them)
    // The choice dialog for a stage, material or pavement; the chosen value,
    // the "all similar" and "do not offer again" boxes; OK when closed with OK.
    void Conf_EditEt(int i, std::string& Valor, bool& ForAll, bool& NoMore, bool& OK);
    void Conf_EditMat(int i, std::string& Valor, bool& ForAll, bool& NoMore, bool& OK);
    void Conf_EditPav(int i, std::string& Valor, bool& ForAll, bool& NoMore, bool& OK);
    void Conf_EditDiam(int i, std::string& Material, std::string& Diametro, bool& ForAll, bool& NoMore, bool& OK);
    // The reach dialog (slope, step height, length) and the manhole dialog
    // (depth); they write the corrected attributes themselves.
    void Conf_EditTR(int i, bool& NoMore, bool& OK);
    void Conf_EditPV(int i, bool& NoMore, bool& OK);
    // Value into the attribute Tag of the block of fault Index, or of every
    // listed fault from Index down with the same message; the corrected
    // faults leave the list.
    void ApplyFix(int Index, bool ForAll, const std::string& Value, const std::string& Tag);

private:
    enum Opcao {
        VerificarPVs,
        PVNomes,
        PVProfundidades,
        PVEtapas,
        VerificarTRs,
        TRNomes,
        TRDeclividades,
        TRMateriais,
        TRComprimentos,
        TRPavimentos,
        TREtapas
    };
    // Kinds of correction that can be switched off.
    enum Oferta {
        OfDuplicado,
        OfProfundidade,
        OfEtapa,
        OfTrecho,
        OfMaterial,
        OfPavimento,
        OfDiametro,
        OfTuboQueda,
        OfDegrau,
        OfNomeTR,
        NumOfertas
    };

    long Conf_PVs(bool& Cancelado) override;
    long Conf_TRs() override;
    std::string RelatorioPVs() const override;
    std::string RelatorioTRs() const override;
    void TrataFalha(int i) override;
    void Falha(int Tipo, std::int32_t Id, std::int32_t PVm, std::int32_t PVj, const std::string& Mensagem,
               const Ponto& Pt1, const std::optional<Ponto>& Pt2, const std::string& TextoMarca, double Escala,
               int Cor);
    void AplicaQueda(int i, bool& NoMore, const std::string& Titulo, const std::string& Texto, const std::string& TQ);

    bool marcas_ = false;  // "ErroC" could be had for the pass
    bool naoOferecer_[NumOfertas] = {};
    // Where each correction dialog was left (0, 0: not yet shown).
    int listaLeft_ = 0, listaTop_ = 0;
    int trLeft_ = 0, trTop_ = 0;
    int pvLeft_ = 0, pvTop_ = 0;
};
