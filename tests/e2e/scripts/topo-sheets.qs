# Map sheets from the topography panel's "Margens" tab: a grid of sheets at
# 1:500 over limits picked in the drawing, one more sheet at 1:1000 at a
# picked point, all numbered again in reading order, then the UTM grid drawn
# inside every sheet.

fixture spread 400 ${data}/area.dwg
start
open ${data}/area.dwg
tab SSIniciar 4
tab TD.SSTopo 1
expect tooltip TD.InsQuaCmd "Insere bloco Quadrícula"

# "Inserir Quadrícula" over the limits 0,0 - 1000,1000: 2 x 4 sheets of
# 393 x 249.5, centred, from the top-left corner 107,999.
answer frmMARQua
  expect text Titulo "Bloco Quadrícula"
  expect text Frame1(0) "Dimensões da Viewport no papel :"
  expect text Text1(0) "786"
  expect text Text1(1) "499"
  expect text Combo1 "1000"
  expect enabled LimitesCmd false
  choose Combo1 "500"
  click Check1
  expect enabled LimitesCmd true
  click LimitesCmd
  click cmdOK
end
input point 0,0 prompt "Selecione limites: "
input corner 1000,1000 prompt "Segundo ponto: "
click TD.InsQuaCmd
expect entities 8 0=INSERT 2=QUADRICULA2 8=NUM_QUADRICULA
expect attribute NUMERO at 107,999 "1"
expect attribute NUMERO at 500,999 "2"
expect attribute NUMERO at 107,749.5 "3"
expect attribute NUMERO at 500,250.5 "8"
expect windowstate Form1 0

# One sheet at 1:1000 north-west of the grid, from the default viewport.
answer frmMARQua
  expect value Check1 0
  click cmdOK
end
input point -900,1500 prompt "Ponto de inserção: "
click TD.InsQuaCmd
expect entities 9 0=INSERT 2=QUADRICULA2

# "Numerar as Quadrículas": the new sheet comes first, the grid after it.
click TD.NumQuadCmd
expect attribute NUMERO at -900,1500 "1"
expect attribute NUMERO at 107,999 "2"
expect attribute NUMERO at 500,999 "3"
expect attribute NUMERO at 107,749.5 "4"
expect attribute NUMERO at 500,250.5 "9"

# "Inserir Grades UTM" every 250 with labels at 1:500.
answer frmMARExe
  expect text Label1 "Grade UTM"
  expect text UTMCbo "100"
  expect text UTMEscCbo "1000"
  choose UTMCbo "250"
  set UTMEscCbo "500"
  click CmdOK
end
click TD.InsUTMCmd
expect entities 31 0=LINE 8=UTM
expect entities 31 0=INSERT 2=TOP_UTM 8=UTM
expect attribute UTM at 250,999 "E = 250 "
expect attribute UTM at -750,1500 "E = -750 "
expect attribute UTM at -114,1250 "N = 1250 "
expect attribute UTM at 893,500 "N = 500 "

# A drawing whose sheets lie in an attached reference: the UTM grid and the
# numbering work on the drawing's own sheets, and find none.
fixture sheetsxref 4 ${data}/ref.dwg
open ${data}/ref.dwg
expect entities 1 0=INSERT 2=FOLHAS
answer frmMARExe CmdOK
click TD.InsUTMCmd
expect entities 0 0=LINE 8=UTM
answer frmMsgBox
  expect text Mensagem contains "Bloco Quadricula2 não encontrado."
  click CmdOK
end
click TD.NumQuadCmd

click cmdEnd
expect ended
