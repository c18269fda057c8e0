# The water panel's zones and nodes: a zone valued per metre typed with a
# comma, then the nodes drawing kept beside this script ("water-nodes.dxf",
# six "ErroC" circles: A (50,100) r 3, B (0,100) r 3, C (20,150) r 2 marked
# "9", D (100,50) r 8, E (110,50) r 4, F (0,0) r 2, in this drawing order)
# numbered from top to bottom and one circle resized.

start
new
tab SSIniciar 2
click AGUOption1(2)
expect left WC.SSLumbra 0

# Zones: the name box takes any key, the value boxes a number with ".".
tab WC.SSLumbra 0
expect text WC.ZonLbl contains "Uma zona é definida por um Hatch"
type WC.ZonTxt(0) "Centro"
type WC.ZonTxt(2) "0,35x"
expect text WC.ZonTxt(2) "0.35"
input point 50,50 prompt "Ponto de inserção:"
click WC.ZonCmd(0)
expect entities 1 0=INSERT 2=Zon_PorM
expect attribute NOME at 50,50 "Centro"
expect attribute VPM at 50,50 "0.35"

# A point not given (Enter) inserts nothing; a total needs its own value.
input enter
click WC.ZonCmd(0)
click WC.ZonCmd(1)
expect entities 1 0=INSERT
type WC.ZonTxt(1) "1200"
input point 150,50
click WC.ZonCmd(1)
expect entities 1 0=INSERT 2=Zon_Total
expect attribute VTZ at 150,50 "1200"

# Nodes: each button tells what it does.
open ${scripts}/water-nodes.dxf
tab WC.SSLumbra 1
hover WC.NODNumeraCmd
expect text WC.NODLbl contains "numerar os nodes de cima para baixo"
hover WC.NODScaleCmd
expect text WC.NODLbl contains "círculo cor MAGENTA"

# D and E overlap and shrink; at one height the node drawn first comes first.
click WC.NODNumeraCmd
expect attribute MENSAGEM at 20,150 "1"
expect attribute MENSAGEM at 50,100 "2"
expect attribute MENSAGEM at 0,100 "3"
expect attribute MENSAGEM at 100,50 "4"
expect attribute MENSAGEM at 110,50 "5"
expect attribute MENSAGEM at 0,0 "6"

# F grows to radius 6: its circle is then picked where it did not reach.
input pick 0,0 prompt "Selecione círculo:"
input point 0,6 prompt "Raio:"
click WC.NODScaleCmd
input pick 4.2426,4.2426 prompt "Selecione círculo:"
input point 3,4 prompt "Raio:"
click WC.NODScaleCmd
# A pick that is no node changes nothing.
input pick 400,400
click WC.NODScaleCmd

click cmdEnd
expect ended
