# The water panel: a fitting of a material chosen from its picture menu, its
# primary and secondary diameters clicked, placed and turned in the drawing.

start
new
tab SSIniciar 2
click AGUOption1(0)
expect left WC.SSDesenho 0

choose WC.Material "PVC PBA"
expect tooltip WC.Material "PVC PBA"
press WC.WATMenu 1
expect tooltip WC.WATMenu.Picture1 "Tê"
expect count WC.WatDP 3
expect enabled WC.DesCmd false

# A primary diameter with secondary ones only lists them.
choose WC.WatDP "100"
expect count WC.WatDS 3
expect entities 0

# The secondary diameter places the tee, then it is turned.
input point 120,80 prompt "Ponto de inserção: "
input angle 90
choose WC.WatDS "75"
expect enabled WC.DesCmd true
expect entities 1 0=INSERT 2=A-TE
expect attribute CODIGO at 120,80 "TEPBADN100x75"
expect attribute MATERIAL at 120,80 "PVC PBA"
expect attribute ETAPA at 120,80 "0"

# Another stage, placed again with the draw button.
choose WC.Etapa 1
input point 300,80
input angle 0
click WC.DesCmd
expect entities 2 0=INSERT 2=A-TE
expect attribute CODIGO at 300,80 "TEPBADN100x75"
expect attribute ETAPA at 300,80 "1"

# A bend at "1a. Etapa": one diameter, placed at once on that stage's layer.
expect text WC.Etapa "1a. Etapa"
press WC.WATMenu 2
expect tooltip WC.WATMenu.Picture1 "Curva 90°"
input point 120,200
input angle 45
choose WC.WatDP "100"
expect entities 1 0=INSERT 2=A-CURVA90 8=CONEXOES_1
expect attribute CODIGO at 120,200 "C90PBADN100"

# A double click on a diameter places one fitting, and turns it.
input point 120,260
input angle 30
dblclick WC.WatDP
expect entities 2 0=INSERT 2=A-CURVA90 8=CONEXOES_1

# A flanged gate valve DN 500 brings its joint set of the higher class.
choose WC.Etapa 0
choose WC.Material "Ferro Fundido"
press WC.WATMenu 11
expect tooltip WC.WATMenu.Picture1 "Registro de gaveta flangeado"
input point 300,200
input angle 0
choose WC.WatDP "500"
expect entities 1 0=INSERT 2=A-REGISTROF 8=CONEXOES_0
expect attribute CODIGO at 300,200 "RGFFLDN500"
expect attribute CODIG1 at 300,200 "RCFC16DN500"
expect attribute MATERIAL at 300,200 "Ferro Fundido"

# Saved and opened again, the drawing still holds them.
save ${tmp}/agua.dwg
new
expect entities 0
open ${tmp}/agua.dwg
expect entities 5 0=INSERT
expect attribute CODIGO at 120,80 "TEPBADN100x75"
expect attribute ETAPA at 300,80 "1"
expect attribute CODIGO at 120,200 "C90PBADN100"

# A double click on a diameter places one fitting, and turns it.
input point 120,260
input angle 30
dblclick WC.WatDP
expect entities 2 0=INSERT 2=A-CURVA90 8=CONEXOES_1
expect attribute CODIG1 at 300,200 "RCFC16DN500"

click cmdEnd
expect ended
