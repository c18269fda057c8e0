#pragma once
// The nodes drawing: each node of the network is an "ErroC" block whose X and
// Y scale are the radius of its circle; the circle gathers the pipe ends that
// meet at the node. Both commands work on the drawing in gAcadDoc: callers
// have connected.

class ProgressBar;

// The user picks a node circle ("Selecione círculo:") and gives its radius
// ("Raio:", rubber band from the node's centre). A pick that is not a node, a
// cancelled point or a radius of 0 changes nothing; a failure of the host on
// the way ends the command silently.
void EscalaNode();

// Shrinks every pair of overlapping node circles to half their distance (in
// selection order), then numbers the nodes from top to bottom: MENSAGEM
// "1", "2", ... Nodes at the same height keep their selection order. gNos is
// left with the nodes in that order (ObjectID, Ponto, Raio). A drawing without
// a node gets "Nenhum Node encontrado." and nothing changes, gNos included.
void NumeraNodes(ProgressBar& Barra);
