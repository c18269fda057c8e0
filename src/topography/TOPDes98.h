#pragma once
// The topography panel: a user control on the main window's topography tab.
// This is its frame; the block catalogue, the survey-point menu and the
// commands are added by the panel's own work.

#include "platform/forms/Forms.h"

class TOPDes98 : public forms::UserControl {
public:
    explicit TOPDes98(Init init);

    // Called by the main window each time the topography tab is chosen.
    void Start();

private:
    void UserControl_Resize();
};
