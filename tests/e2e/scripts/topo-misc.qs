# The repairs of the topography panel's "Misc." tab, each on the drawing a
# user would bring: the street axes measured, splines turned into polylines
# (an order of 3 refused, then 10), entities above the ground brought down to
# elevation 0, and a hatch far from the origin rebuilt.

fixture streets 2 ${data}/ruas.dwg
fixture splines 2 ${data}/curvas.dwg
fixture elevated 1 ${data}/elevado.dwg
fixture farhatch 1 ${data}/hachura.dwg
start
tab SSIniciar 4
tab TD.SSTopo 5

# "Medir Levantamento": 1500 + 250 on EIXO_RUA; another layer and a line
# on the layer do not count.
open ${data}/ruas.dwg
answer frmMsgBox
  expect text Titulo "Medindo Levantamento"
  expect text Mensagem "O Layer EIXO_RUA possui 1.750 Km de LWPolylines."
  click CmdOK
end
click TD.KMTopogCmd

# "Spline para Pline": 3 is told before anything is selected; 10 turns both
# splines into polylines.
open ${data}/curvas.dwg
zoom extents
type TD.MISCSpl2PlTxt "3"
answer frmMsgBox
  expect text Titulo "Atenção"
  expect text Mensagem "O numero de pontos de suavização é entre 4 e 26"
  click CmdOK
end
click TD.MISCSpl2PlCmd
expect entities 2 0=SPLINE
set TD.MISCSpl2PlTxt "10"
input window -10,-20 100,70
input enter
click TD.MISCSpl2PlCmd
expect entities 0 0=SPLINE
expect entities 2 0=POLYLINE
expect z at 0,0 0

# "Coordenada Z = zero" on every kind above the ground.
open ${data}/elevado.dwg
zoom extents
expect z at 20,0 12
expect z at 0,40 10
input window -10,-10 100,60
input enter
click TD.MISCZzeroCmd
expect z at 0,0 0
expect z at 20,0 0
expect z at 30,0 0
expect z at 40,0 0
expect z at 50,0 0
expect z at 60,0 0
expect z at 70,0 0
expect z at 0,20 0
expect z at 20,20 0
expect z at 40,20 0
expect z at 70,20 0
expect z at 0,40 0

# "Corrige Hatch": the hatch rebuilt by the host and still where it was.
open ${data}/hachura.dwg
zoom extents
input pick 650100,7400040 prompt "Selecione Hachura:"
click TD.CorrigeHatchCmd
expect entities 1 0=HATCH 2=ANSI31 8=HACHURA
input pick 650100,7400040 prompt "Selecione Hachura:"
click TD.CorrigeHatchCmd

click cmdEnd
expect ended
