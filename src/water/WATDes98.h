#pragma once
// The water panel: a user control on the main window's water tab. This is
// its frame (start-up, the settings the main window writes, the export event,
// its fixed size); the catalogue, lists, menus and commands are added by the
// panel's own work.

#include "platform/Event.h"
#include "platform/forms/Forms.h"

class WATDes98 : public forms::UserControl {
public:
    explicit WATDes98(Init init);

    // Called by the main window with False each time the water tab is chosen:
    // the first call starts the panel, later ones return at once.
    void Start(bool Recarregar);
    bool Iniciado() const { return iniciado_; }

    // Which tab set is shown: 0 drawing tools, 1 general tools, 2 export tools.
    int Interface() const { return interface_; }
    void SetInterface(int v);
    // Decimal places of elevations and distances.
    int PRECCOTA() const { return precCota_; }
    void SetPRECCOTA(int v);
    int PRECDIST() const { return precDist_; }
    void SetPRECDIST(int v);

    // Raised by the export: False when it begins its work, True when it has ended.
    platform::Event<bool> Exportando;

private:
    void UserControl_InitProperties();
    void UserControl_ReadProperties(forms::PropertyBag& PropBag);
    void UserControl_WriteProperties(forms::PropertyBag& PropBag);
    void UserControl_Resize();

    bool iniciado_ = false;
    int interface_ = 1;
    int precCota_ = 3, precDist_ = 2;
};
