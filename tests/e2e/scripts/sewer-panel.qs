# The sewer panel as a person uses it: the sewer tab, a manhole with its
# number alone, the fields of two manholes (typed with "," and with "."),
# the reach between them from "Param.", its attributes copied into a second
# reach, a text moved, the spinners dragged, and the switch between the
# panel's tab sets with a tolerance cleared.

start
new
tab SSIniciar 1
expect text SD.DesPVcbo "PV-1000"
expect count SD.DesEtapaCbo 5
expect text SD.DesEtapaCbo "Existente"

# Every drawing field starts empty, and an empty field reads as 0. The PV
# number's spinner steps from there: 1500 twips up is a hundred.
drag SD.lblMouseI(3) 0,-1500
expect text SD.DesTxt(3) "100"
# A manhole that carries only its number goes in, its elevations empty.
input point 0,100 prompt "Ponto de inserção: "
input angle 0 prompt "Direção: "
click SD.DesInsertPVcmd
expect attribute NUMERO at 0,100 100
expect attribute CT at 0,100 ""
expect attribute CS at 0,100 ""
expect attribute CP at 0,100 ""
# The ground typed alone: the empty invert is 0, the depth the whole ground.
type SD.DesTxt(0) "100"
expect text SD.DesTxt(1) "0.000"
expect text SD.DesTxt(2) "100.000"

# Typed with ",": the invert follows the ground, both leave with three decimals.
type SD.DesTxtS(1) "PV-"
type SD.DesTxt(3) "1"
type SD.DesTxt(0) "102,5"
key SD.DesTxt(0) Return
expect text SD.DesTxt(0) "102.500"
type SD.DesTxt(1) "100.7"
key SD.DesTxt(1) Return
expect text SD.DesTxt(1) "100.700"
expect text SD.DesTxt(2) "1.800"
input point 0,0 prompt "Ponto de inserção: "
input angle 0 prompt "Direção: "
click SD.DesInsertPVcmd
expect attribute NUMERO at 0,0 PV-1
expect attribute CT at 0,0 102.500
expect attribute CS at 0,0 100.700
expect attribute CP at 0,0 1.800
expect attribute ET at 0,0 0

# The second manhole: a new number and invert, the depth follows.
type SD.DesTxt(3) "2"
type SD.DesTxt(1) "100,2"
key SD.DesTxt(1) Return
expect text SD.DesTxt(2) "2.300"
input point 50,0 prompt "Ponto de inserção: "
input angle 0 prompt "Direção: "
click SD.DesInsertPVcmd
expect attribute CS at 50,0 100.200

# The reach between them, its manholes picked on their rims.
tab SD.SSDesenho 1
choose SD.DesMatTuboCbo(0) "PVC"
choose SD.DesTuboDiamlst "150"
choose SD.DesPavmtoCbo(1) "Asfalto"
expect enabled SD.DesInsertTRcmd(1) false
input pick 0,1 prompt "Selecione PV 1: "
input pick 50,1 prompt "Selecione PV 2: "
click SD.DesInsertTRcmd(0)
expect text SD.DesTxt(4) "50.00"
expect text SD.DesTxt(5) "0.010000"
# A drop of 0.2 takes its part of the fall; the drop emptied is no drop, and
# the slope then follows the length alone.
type SD.DesTxt(6) "0.2"
expect text SD.DesTxt(5) "0.006000"
key SD.DesTxt(6) Ctrl+A
key SD.DesTxt(6) Delete
expect text SD.DesTxt(6) ""
expect text SD.DesTxt(5) "0.010000"
type SD.DesTxt(4) "40"
expect text SD.DesTxt(5) "0.012500"
key SD.DesTxt(4) Ctrl+A
type SD.DesTxt(4) "50.00"
expect text SD.DesTxt(5) "0.010000"
click SD.DesInsertTRcmd(1)
expect attribute TCP at 25,0 ""
expect enabled SD.DesInsertTRcmd(1) false
expect attribute DD at 25,0 150-50.00
expect attribute DEC at 25,0 0.010000
expect attribute MAT at 25,0 PVC
expect attribute PAVMTO at 25,0 Asfalto
expect attribute TRECHO at 25,0 PV-1-PV-2
# The manhole that carries only its number has an invert of 0: picked with
# PV-1, it is the downstream one, a hundred metres off and 100.7 below.
input pick 0,101 prompt "Selecione PV 1: "
input pick 0,1 prompt "Selecione PV 2: "
click SD.DesInsertTRcmd(0)
expect text SD.DesTxt(4) "100.00"
expect text SD.DesTxt(5) "1.007000"
expect enabled SD.DesInsertTRcmd(1) true

# A reach whose slope is emptied before "Inserir": an empty slope is 0, so
# the pipe leaves PV-8 at its invert (101.000) and reaches PV-9 a metre above
# its own, a drop.
tab SD.SSDesenho 0
type SD.DesTxt(3) "8"
type SD.DesTxt(1) "101"
key SD.DesTxt(1) Return
input point 200,0 prompt "Ponto de inserção: "
input angle 0 prompt "Direção: "
click SD.DesInsertPVcmd
type SD.DesTxt(3) "9"
type SD.DesTxt(1) "100"
key SD.DesTxt(1) Return
input point 260,0 prompt "Ponto de inserção: "
input angle 0 prompt "Direção: "
click SD.DesInsertPVcmd
tab SD.SSDesenho 1
input pick 200,1 prompt "Selecione PV 1: "
input pick 260,1 prompt "Selecione PV 2: "
click SD.DesInsertTRcmd(0)
expect text SD.DesTxt(4) "60.00"
# The length emptied is 0 as well: a slope typed then leaves the whole fall
# of a metre to the drop, as the reach would be drawn; the length typed
# again takes the drop out of the slope.
key SD.DesTxt(4) Ctrl+A
key SD.DesTxt(4) Delete
key SD.DesTxt(5) Ctrl+A
type SD.DesTxt(5) "0.02"
expect text SD.DesTxt(6) "1.000"
key SD.DesTxt(4) Ctrl+A
type SD.DesTxt(4) "60.00"
expect text SD.DesTxt(5) "0.000000"
key SD.DesTxt(5) Ctrl+A
key SD.DesTxt(5) Delete
expect text SD.DesTxt(5) ""
click SD.DesInsertTRcmd(1)
expect enabled SD.DesInsertTRcmd(1) false
expect attribute DD at 230,0 150-60.00
expect attribute DEC at 230,0 ""
expect attribute TCS at 230,0 101.000
expect attribute TCP at 230,0 1.000

# A generic manhole with its ground elevation left empty goes in at ground 0.
tab SD.SSDesenho 2
set SD.DesTxt(8) "G1"
set SD.DesTxt(7) ""
input point 300,0 prompt "Selecione local: "
click SD.DesInsertPVGenCmd
expect attribute NUMERO at 300,0 G1
expect attribute CT at 300,0 0.000
tab SD.SSDesenho 1

# A third manhole, and the reach to it with the first reach's attributes.
tab SD.SSDesenho 0
type SD.DesTxt(3) "3"
type SD.DesTxt(1) "99,8"
key SD.DesTxt(1) Return
input point 50,-40 prompt "Ponto de inserção: "
input angle 0 prompt "Direção: "
click SD.DesInsertPVcmd
tab SD.SSDesenho 1
choose SD.DesMatTuboCbo(0) "Concreto"
choose SD.DesPavmtoCbo(1) "Terra"
input pick 50,1 prompt "Selecione PV 1: "
input pick 50,-39 prompt "Selecione PV 2: "
click SD.DesInsertTRcmd(0)
expect text SD.DesTxt(5) "0.010000"
# Picked by its diameter text, above the reach's middle.
input pick 25,1.9 prompt "Selecione TR:"
click SD.CopyAttTRCmd
expect text SD.DesMatTuboCbo(0) "PVC"
expect text SD.DesTuboDiamlst "150"
expect text SD.DesPavmtoCbo(1) "Asfalto"
expect text SD.DesTxt(6) "0.000"
click SD.DesInsertTRcmd(1)
expect attribute DD at 50,-20 150-40.00
expect attribute MAT at 50,-20 PVC
expect attribute PAVMTO at 50,-20 Asfalto

# Spinners: the slope up by a tenth of a thousandth, the drop follows; the
# material list one entry on (from the last, PVC, round to the first), its
# diameters with it.
drag SD.lblMouseI(5) 0,-1500
expect text SD.DesTxt(5) "0.010100"
expect text SD.DesTxt(6) "-0.004"
drag SD.lblMouse(1) 300,0
expect text SD.DesMatTuboCbo(0) "Cerâmico"
expect text SD.DesTuboDiamlst "100"

# A manhole's number moved beside it, with a leader.
tab SD.SSDesenho 3
input pick 2,2 prompt "Selecione Objeto: "
input point 10,10 prompt "Selecione destino: "
input escape prompt "Selecione Objeto: "
click SD.DesMoveAttCmd
expect entities 1 0=LWPOLYLINE

# The tab sets of the panel.
click ESGOption1(1)
expect left SD.SSTabBrivan 0
expect left SD.Progress1 0
expect left SD.SSDesenho 4000
expect left SD.DesEtapaCbo 4000
click ESGOption1(2)
expect left SD.SSPrefs 0
expect left SD.SSTabBrivan 4000
expect text SD.PrefsTxt(0) "0,01"
# The elevation tolerance cleared is 0, and shown so when the tab comes back.
key SD.PrefsTxt(0) Ctrl+A
key SD.PrefsTxt(0) Delete
expect text SD.PrefsTxt(0) ""
click ESGOption1(0)
click ESGOption1(2)
expect text SD.PrefsTxt(0) "0"
set SD.PrefsTxt(1) ""
type SD.PrefsTxt(1) "0.25"
expect text SD.PrefsTxt(1) "0,25"
click ESGOption1(0)
expect left SD.SSDesenho 0
expect left SD.SSPrefs 4000
