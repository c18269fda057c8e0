#include "topography/TOPDes98.h"

TOPDes98::TOPDes98(Init init) : UserControl(std::move(init))
{
    Move(0, 0, 2595, 3735);
    Resize += [this] { UserControl_Resize(); };
}

void TOPDes98::Start()
{
}

// The panel keeps its size whatever its host gives it.
void TOPDes98::UserControl_Resize()
{
    Size(2595, 3735);
}
