#include "water/ClsWATExp.h"

std::vector<NoRec> gNos;
std::int32_t gNumNos = 0;
