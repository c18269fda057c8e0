#include "topography/clsTOPSec.h"

clsTOPSec::clsTOPSec() = default;
clsTOPSec::~clsTOPSec() = default;
