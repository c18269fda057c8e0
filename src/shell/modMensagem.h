#pragma once
// The program's message box and the position that the messages and cancel
// windows of a long run share.

#include <string>

// Where the cancel window and the message boxes of long operations appear
// (twips; 0 until first set: centred). Plain ints: a window left on a second
// monitor is far beyond 16-bit twips.
extern int gMsgLeft;
extern int gMsgTop;

// Shows the modal message box over gMainForm and waits for a button.
//   Estilo: 0 OK, 1 OK/Cancelar, 2 OK + check box, 3 OK/Cancelar + check box,
//           4 Sim/Não, 5 Sim/Não + check box.
//   OK, Cancel (out): which button was pressed ("Sim" counts as OK, "Não" as Cancel).
//   CheckValue (in/out): the check box's state before and after.
//   CheckCaption: the check box's caption (normally "Não mostrar mais esta mensagem.").
//   Left, Top (in/out): where to show the box (not positive: centred on the
//   screen); on return, where the user left it.
void ExibeMensagem(long Estilo, const std::string& Titulo, const std::string& Mensagem, bool& OK, bool& Cancel,
                   bool& CheckValue, const std::string& CheckCaption, int& Left, int& Top);

// The same box, centred, for callers that read nothing back (layout 0 notices).
void ExibeMensagem(long Estilo, const std::string& Titulo, const std::string& Mensagem);
