# The water panel's drawing tools: fitting labels moved with their leaders,
# a right click in the drawing repeating the move until a command ends, and
# a tie dimension showing the distance typed for it.

start
new
tab SSIniciar 2
click AGUOption1(0)
expect left WC.SSDesenho 0

# Two tees, placed and turned.
choose WC.Material "PVC PBA"
press WC.WATMenu 1
choose WC.WatDP "100"
input point 0,0 prompt "Ponto de inserção: "
input angle 0
choose WC.WatDS "75"
input point 100,0
input angle 0
click WC.DesCmd
expect entities 2 0=INSERT 2=A-TE

# The first tee's labels up and to the right, with a leader.
input pick 0,0 prompt "Selecione objeto:"
input point 10,10 prompt "Destino:"
click WC.FERimg2(0)
expect entities 1 0=LWPOLYLINE 8=TEXTO_CON

# A right click in the drawing moves the next tee's labels.
input pick 100,0 prompt "Selecione objeto:"
input point 90,-10 prompt "Destino:"
rightclick 50,50
expect entities 2 0=LWPOLYLINE 8=TEXTO_CON

# Moved again, the first tee's labels leave their old leader behind them.
input pick 0,0 prompt "Selecione objeto:"
input point -10,20 prompt "Destino:"
rightclick 50,50
expect entities 2 0=LWPOLYLINE 8=TEXTO_CON

# A command that ends (the next tee turned) ends the repeating: the right
# click asks nothing.
input point 200,0 prompt "Ponto de inserção: "
input angle 0
click WC.DesCmd
rightclick 50,50
expect entities 3 0=INSERT 2=A-TE
expect entities 2 0=LWPOLYLINE 8=TEXTO_CON

# The tie dimension: three points, then the distance as the engineer types it.
input point 0,-50
input point 30,-50
input point 15,-60
input string "12.5" prompt "Distância:"
click WC.FERimg2(2)
expect entities 1 0=DIMENSION 8=Amarracao
save ${tmp}/amarracao.dxf
expect line ${tmp}/amarracao.dxf "12.5"

click cmdEnd
expect ended
