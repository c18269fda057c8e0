#pragma once
// The sewer panel: a user control on the main window's sewer tab. This is
// its frame (start-up, the settings the main window writes, its fixed size);
// the catalogue, lists, menus and commands are added by the panel's own work.

#include "platform/forms/Forms.h"

class SANDes98 : public forms::UserControl {
public:
    explicit SANDes98(Init init);

    // Called by the main window with False each time the sewer tab is chosen:
    // the first call starts the panel, later ones return at once.
    void Start(bool Recarregar);
    bool Iniciado() const { return iniciado_; }

    // Which of the panel's tab sets is shown (written by the main window's option group).
    int Interface() const { return interface_; }
    void SetInterface(int v);
    // Decimal places of elevations, slopes, distances and coordinates.
    int PRECCOTA() const { return precCota_; }
    void SetPRECCOTA(int v);
    int PRECDECL() const { return precDecl_; }
    void SetPRECDECL(int v);
    int PRECDIST() const { return precDist_; }
    void SetPRECDIST(int v);
    int PRECOORD() const { return precCoord_; }
    void SetPRECOORD(int v);

private:
    void UserControl_InitProperties();
    void UserControl_ReadProperties(forms::PropertyBag& PropBag);
    void UserControl_WriteProperties(forms::PropertyBag& PropBag);
    void UserControl_Resize();

    bool iniciado_ = false;
    int interface_ = 0;
    int precCota_ = 3, precDecl_ = 6, precDist_ = 2, precCoord_ = 4;
};
