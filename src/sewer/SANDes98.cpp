#include "sewer/SANDes98.h"

using namespace forms;

SANDes98::SANDes98(Init init) : UserControl(std::move(init))
{
    Move(0, 0, 2595, 3810);
    InitProperties += [this] { UserControl_InitProperties(); };
    ReadProperties += [this](PropertyBag& b) { UserControl_ReadProperties(b); };
    WriteProperties += [this](PropertyBag& b) { UserControl_WriteProperties(b); };
    Resize += [this] { UserControl_Resize(); };
}

void SANDes98::Start(bool Recarregar)
{
    if (iniciado_ && !Recarregar) return;
    iniciado_ = true;
}

void SANDes98::SetInterface(int v)
{
    interface_ = v;
    PropertyChanged("Interface");
}

void SANDes98::SetPRECCOTA(int v)
{
    precCota_ = v;
    PropertyChanged("PRECCOTA");
}

void SANDes98::SetPRECDECL(int v)
{
    precDecl_ = v;
    PropertyChanged("PRECDECL");
}

void SANDes98::SetPRECDIST(int v)
{
    precDist_ = v;
    PropertyChanged("PRECDIST");
}

void SANDes98::SetPRECOORD(int v)
{
    precCoord_ = v;
    PropertyChanged("PRECOORD");
}

void SANDes98::UserControl_InitProperties()
{
    precCota_ = 3;
    precDist_ = 2;
    precDecl_ = 6;
    precCoord_ = 4;
    interface_ = 0;
}

void SANDes98::UserControl_ReadProperties(PropertyBag& PropBag)
{
    precCota_ = PropBag.ReadProperty("PRECCOTA", 3);
    precDist_ = PropBag.ReadProperty("PRECDIST", 2);
    precDecl_ = PropBag.ReadProperty("PRECDECL", 6);
    precCoord_ = PropBag.ReadProperty("PRECOORD", 4);
    interface_ = PropBag.ReadProperty("Interface", 0);
}

void SANDes98::UserControl_WriteProperties(PropertyBag& PropBag)
{
    PropBag.WriteProperty("PRECCOTA", precCota_, 3);
    PropBag.WriteProperty("PRECDIST", precDist_, 2);
    PropBag.WriteProperty("PRECDECL", precDecl_, 6);
    PropBag.WriteProperty("PRECOORD", precCoord_, 4);
    PropBag.WriteProperty("Interface", interface_, 0);
}

// The panel keeps its size whatever its host gives it.
void SANDes98::UserControl_Resize()
{
    Size(2595, 3810);
}
