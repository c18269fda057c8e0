#pragma once
// Text boxes bound to a field of a recordset, the old forms' DataSource and
// DataField: set the box's DataField, then its DataSource.
//
// - After every move of the recordset (opening and reopening it included) the
//   box shows the field of the current record as text, Null and "no current
//   record" as the empty text. Showing it raises the box's Change, as it did,
//   but is not the user's edit: DataChanged stays False.
// - Any other change of the text (typed, or set by code) is the user's edit:
//   DataChanged becomes True and the text is assigned to the field at once
//   (the empty text as Null). The recordset keeps it pending and saves it at
//   its next move, which it refuses when the file refuses the value; the box
//   keeps the text then.
// - A text that the field cannot even take (letters in a number field, or
//   typed where there is no current record) is not assigned: the field keeps
//   the value it was shown with, and DataError gives the reason. The recordset
//   cannot see such a text, so a form checks DataError of its boxes before it
//   moves the records (the old binding did that check inside the move).
// - The binding ends with the box, with ClearDataSource, or when another
//   recordset is given; the recordset never keeps the box alive.

#include "platform/ado/Error.h"
#include "platform/ado/Recordset.h"

#include <optional>

namespace forms {

class TextBox;

// Binds the box to the recordset (a handle: closing and reopening the same
// recordset keeps the box bound) and shows the current record. Throws the
// recordset's error when it is open and has no field named as DataField; the
// box is then left unbound.
void SetDataSource(TextBox& box, const ado::Recordset& recordset);
void ClearDataSource(TextBox& box);
// The recordset the box is bound to, if any.
std::optional<ado::Recordset> DataSource(TextBox& box);
// Why the box's current text could not be given to its field; nothing when it
// was (or when the text is the one shown).
std::optional<ado::Error> DataError(TextBox& box);

}  // namespace forms
