#include "water/WATDes98.h"

using namespace forms;

WATDes98::WATDes98(Init init) : UserControl(std::move(init))
{
    Move(0, 0, 2595, 3810);
    InitProperties += [this] { UserControl_InitProperties(); };
    ReadProperties += [this](PropertyBag& b) { UserControl_ReadProperties(b); };
    WriteProperties += [this](PropertyBag& b) { UserControl_WriteProperties(b); };
    Resize += [this] { UserControl_Resize(); };
}

void WATDes98::Start(bool Recarregar)
{
    if (iniciado_ && !Recarregar) return;
    iniciado_ = true;
}

void WATDes98::SetInterface(int v)
{
    interface_ = v;
    PropertyChanged("Interface");
}

void WATDes98::SetPRECCOTA(int v)
{
    precCota_ = v;
    PropertyChanged("PRECCOTA");
}

void WATDes98::SetPRECDIST(int v)
{
    precDist_ = v;
    PropertyChanged("PRECDIST");
}

void WATDes98::UserControl_InitProperties()
{
    interface_ = 1;
    precCota_ = 3;
    precDist_ = 2;
}

void WATDes98::UserControl_ReadProperties(PropertyBag& PropBag)
{
    interface_ = PropBag.ReadProperty("Interface", 1);
    precCota_ = PropBag.ReadProperty("PRECCOTA", 3);
    precDist_ = PropBag.ReadProperty("PRECDIST", 2);
}

void WATDes98::UserControl_WriteProperties(PropertyBag& PropBag)
{
    PropBag.WriteProperty("Interface", interface_, 1);
    PropBag.WriteProperty("PRECCOTA", precCota_, 3);
    PropBag.WriteProperty("PRECDIST", precDist_, 2);
}

// The panel keeps its size whatever its host gives it.
void WATDes98::UserControl_Resize()
{
    Size(2595, 3810);
}
