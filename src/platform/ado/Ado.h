#pragma once
// The data-access layer: connections and recordsets over SQLite databases
// (the ".mdb" files), folders of dBase tables and workbooks, with the members,
// constants and behaviour of the automation library the system was written
// against. The public headers are this one and those it includes; the other
// headers of this folder are private to the layer.

#include "platform/ado/Connection.h"
#include "platform/ado/Constants.h"
#include "platform/ado/DataControl.h"
#include "platform/ado/Error.h"
#include "platform/ado/Recordset.h"
#include "platform/ado/Value.h"
