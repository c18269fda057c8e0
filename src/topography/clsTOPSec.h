#pragma once
// The topographic section along a polyline through survey points: made by the
// topography panel when its "Seções" tab is chosen, released at the next tab
// change.

class clsTOPSec {
public:
    clsTOPSec();
    ~clsTOPSec();
};
