#include "common/COMDes98.h"

COMDes98::COMDes98(Init init) : UserControl(std::move(init))
{
    Move(0, 0, 2595, 3810);
    Resize += [this] { UserControl_Resize(); };
}

void COMDes98::Start()
{
}

// The panel keeps its size whatever its host gives it.
void COMDes98::UserControl_Resize()
{
    Size(2595, 3810);
}
