# The water panel's drawing tools: two fittings placed from the menu, one
# coupled to the other's socket, moved along its axis (ortho held, then a
# cancelled move), turned towards a point, and a socket's information; then
# fitting labels moved with their leaders, a right click in the drawing
# repeating the move until a command ends, and a tie dimension showing the
# distance typed for it.

start
new
tab SSIniciar 2
click AGUOption1(0)
expect left WC.SSDesenho 0
choose WC.Material "Ferro Fundido"

# A coupling at 2,2 and a 90° bend at 9,3, both DN100, at the panel's scale 0.5.
press WC.WATMenu 7
expect tooltip WC.WATMenu.Picture1 "Luva"
input point 2,2 prompt "Ponto de inserção: "
input angle 0
choose WC.WatDP "100"
press WC.WATMenu 3
expect tooltip WC.WATMenu.Picture1 "Curva 90°"
input point 9,3
input angle 0
choose WC.WatDP "100"
expect entities 2 0=INSERT 2=A-*

# The tools show their names; the one under the mouse has the hover image beneath it.
expect tooltip WC.FERimg(0) "Engatar"
expect tooltip WC.FERimg(3) "Rotacionar"
expect tooltip WC.FERimg2(2) "Amarração"
hover WC.FERimg(1)
expect visible WC.Bu true
expect top WC.Bu 225
expect visible WC.Bd false

# Couple: the coupling's east socket (3,2) onto the bend's north socket (9,5),
# its centre beyond it, away from the bend's centre.
input pick 2.9,2 prompt "Selecione objetos: "
input enter
input pick 2.9,2 prompt "Selecione conexão:"
input pick 9,4.8 prompt "Selecione conexão:"
click WC.FERimg(0)
expect attribute CODIGO at 9,6 "LUFFDN100"
expect attribute CODIGO at 9,3 "C90FFDN100"
expect visible WC.Bu false
expect visible WC.Bd false

# Move along its axis: the point given off the axis lands on it (ortho at the axis' angle).
input pick 9,6.9
input enter
input pick 9,6.9
input point 9.3,8.5 prompt "Destino: "
click WC.FERimg(1)
expect attribute CODIGO at 9,7.5 "LUFFDN100"

# The same move, its destination refused: nothing moves.
input pick 9,8.4
input enter
input pick 9,8.4
input enter prompt "Destino: "
click WC.FERimg(1)
expect attribute CODIGO at 9,7.5 "LUFFDN100"

# Rotate about its centre until its axis points east.
input pick 9,8.4
input enter
input pick 9,8.4
input point 11,7.5 prompt "Rotação:"
click WC.FERimg(3)
expect attribute CODIGO at 9,7.5 "LUFFDN100"

# Two tees below, placed and turned.
choose WC.Material "PVC PBA"
press WC.WATMenu 1
choose WC.WatDP "100"
input point 0,-100 prompt "Ponto de inserção: "
input angle 0
choose WC.WatDS "75"
input point 100,-100
input angle 0
click WC.DesCmd
expect entities 2 0=INSERT 2=A-TE

# The first tee's labels up and to the right, with a leader.
input pick 0,-100 prompt "Selecione objeto:"
input point 10,-90 prompt "Destino:"
click WC.FERimg2(0)
expect entities 1 0=LWPOLYLINE 8=TEXTO_CON

# A right click in the drawing moves the next tee's labels.
input pick 100,-100 prompt "Selecione objeto:"
input point 90,-110 prompt "Destino:"
rightclick 50,-50
expect entities 2 0=LWPOLYLINE 8=TEXTO_CON

# Moved again, the first tee's labels leave their old leader behind them.
input pick 0,-100 prompt "Selecione objeto:"
input point -10,-80 prompt "Destino:"
rightclick 50,-50
expect entities 2 0=LWPOLYLINE 8=TEXTO_CON

# A command that ends (the next tee turned) ends the repeating: the right
# click asks nothing.
input point 200,-100 prompt "Ponto de inserção: "
input angle 0
click WC.DesCmd
rightclick 50,-50
expect entities 3 0=INSERT 2=A-TE
expect entities 2 0=LWPOLYLINE 8=TEXTO_CON

# The tie dimension: three points, then the distance as the engineer types it.
input point 0,-150
input point 30,-150
input point 15,-160
input string "12.5" prompt "Distância:"
click WC.FERimg2(2)
expect entities 1 0=DIMENSION 8=Amarracao
save ${tmp}/amarracao.dxf
expect line ${tmp}/amarracao.dxf "12.5"

# "Informação de Bolsa": the socket now at the east, first of the coupling's.
click AGUOption1(1)
tab WC.SSTools 1
input pick 9.9,7.5 prompt "Selecione bolsa:"
answer frmMsgBox
  expect text Titulo "Info Conexão"
  expect text Mensagem contains "Ferro Fundido"
  expect text Mensagem contains "LUFF - 100 (bolsa No.0)"
  expect text Mensagem contains "Tubo FoFo K7 JGS"
  click CmdOK
end
click WC.InfoConexCmd

click cmdEnd
expect ended
