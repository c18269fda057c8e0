#pragma once
// The verification of the generic sewer network, drawn before design: manhole
// blocks "E-PVGEN" and reach blocks "E-TRCGEN" checked against the sewer
// catalogue and against the drawing (a manhole at each reach end, names that
// agree, the stored length against the drawn one). The generic twin of
// clsSANVerif: the panel makes one per prepared verification, `Prepare` fills
// the option list, `Execute` runs it, and every fault gets a marker, a
// `ConfereGenErroMsg` event and a report line; the object then answers the
// clicks on the option list and on the fault list with their corrections.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "cad/Ponto.h"
#include "platform/Event.h"
#include "platform/forms/Forms.h"
#include "sewer/modConfSAN.h"
#include "shell/ProgressBar.h"

class clsSANVerifGen : public VerificacaoSAN {
public:
    clsSANVerifGen();

    // One per fault, right after its marker: ErrType, ObjectId, PVmId (always
    // 1), PVjId (always 1), Mensagem, Pt1 (the block's insertion point), Pt2
    // (always none).
    platform::Event<int, std::int32_t, std::int32_t, std::int32_t, std::string, Ponto, std::optional<Ponto>>
        ConfereGenErroMsg;

    // --- corrections of fault `Item` of ErrList: the choice dialog for a stage,
    // material, pavement or contribution code. The chosen value, the "all
    // similar" and "do not offer again" boxes; true when closed with "OK".
    bool Conf_EditEt(int Item, std::string& Selecionado, bool& ForAll, bool& NoMore);
    bool Conf_EditMat(int Item, std::string& Selecionado, bool& ForAll, bool& NoMore);
    bool Conf_EditPav(int Item, std::string& Selecionado, bool& ForAll, bool& NoMore);
    bool Conf_EditContr(int Item, std::string& Selecionado, bool& ForAll, bool& NoMore);
    // As clsSANVerif::ApplyFix.
    void ApplyFixGen(int Index, bool ForAll, const std::string& Value, const std::string& Tag);

private:
    enum Opcao {
        VerificarPVs,
        PVNomes,
        PVCotas,
        PVEtapas,
        VerificarTRs,
        TRNomes,
        TRCoordenadas,
        TRDadosPVs,
        TRContribuicao,
        TRMateriais,
        TRComprimentos,
        TRPavimentos,
        TREtapas
    };
    enum Oferta {
        OfNomesCotas,
        OfEtapa,
        OfPVsFaltando,
        OfMaterial,
        OfPavimento,
        OfComprimento,
        OfContribuicao,
        NumOfertas
    };

    long Conf_PVs(bool& Cancelado) override;
    long Conf_TRs() override;
    std::string RelatorioPVs() const override;
    std::string RelatorioTRs() const override;
    void TrataFalha(int i) override;
    void Falha(int Tipo, std::int32_t Id, const std::string& Mensagem, const Ponto& P, const std::string& TextoMarca,
               double Escala, int Cor);
    void CorrigeComprimento(int i);

    // Where the cancel windows and the questions of this object were left,
    // and where the choice dialog was (0: centred).
    int msgLeft_ = 0, msgTop_ = 0;
    int editLeft_ = 0, editTop_ = 0;
    bool naoOferecer_[NumOfertas] = {};
};
