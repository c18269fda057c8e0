#include "water/clsWATDb.h"

void clsWATDb::LoadDb()
{
}
