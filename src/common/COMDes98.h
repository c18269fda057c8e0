#pragma once
// The common drawing tools panel (sectors, city blocks, lots, buildings,
// water meters): a user control on the main window's fourth tab. This is its
// frame; the catalogue, fields and commands are added by the panel's own work.

#include "platform/forms/Forms.h"

class COMDes98 : public forms::UserControl {
public:
    explicit COMDes98(Init init);

    // Called by the main window each time the panel's tab is chosen.
    void Start();

private:
    void UserControl_Resize();
};
