# A small designed sewer network drawn from the sewer panel: four manholes
# and three reaches (no drop, a step, a drop pipe; one reach drawn mirrored),
# the manhole a drop runs into picked again, the drawing saved, and opened
# again with the same blocks and attributes.

start
new
tab SSIniciar 1

# Manholes: their fields as the program sets them, each placed where the
# user points, in the direction the user gives.
choose SD.DesEtapaCbo "1a. Etapa"
set SD.DesTxtS(1) PV-
set SD.DesTxt(3) 1
set SD.DesTxt(0) 102.000
set SD.DesTxt(1) 100.500
set SD.DesTxt(2) 1.500
input point 0,0 prompt "Ponto de inserção: "
input angle 0 prompt "Direção: "
click SD.DesInsertPVcmd
expect attribute NUMERO at 0,0 PV-1

set SD.DesTxt(3) 2
set SD.DesTxt(0) 101.500
set SD.DesTxt(1) 99.900
set SD.DesTxt(2) 1.600
input point 60,0
input angle 0
click SD.DesInsertPVcmd

set SD.DesTxt(3) 3
set SD.DesTxt(0) 101.000
set SD.DesTxt(1) 99.150
set SD.DesTxt(2) 1.850
input point 20,-45
input angle 0
click SD.DesInsertPVcmd

choose SD.DesEtapaCbo "2a. Etapa"
set SD.DesTxt(3) 4
set SD.DesTxt(0) 100.000
set SD.DesTxt(1) 98.000
set SD.DesTxt(2) 2.000
input point 80,-45
input angle 0
click SD.DesInsertPVcmd

# Reaches: "Param." with the two manholes picked on their rims, the length
# and slope it computes (or the slope the user writes), then "Inserir".
tab SD.SSDesenho 1
choose SD.DesEtapaCbo "1a. Etapa"
choose SD.DesMatTuboCbo(0) "PVC"
choose SD.DesTuboDiamlst "150"
choose SD.DesPavmtoCbo(1) "Asfalto"
input pick 0,1 prompt "Selecione PV 1: "
input pick 60,1 prompt "Selecione PV 2: "
click SD.DesInsertTRcmd(0)
expect text SD.DesTxt(4) "60.00"
expect text SD.DesTxt(5) "0.010000"
click SD.DesInsertTRcmd(1)

input pick 60,1
input pick 19,-45
click SD.DesInsertTRcmd(0)
expect text SD.DesTxt(4) "60.21"
set SD.DesTxt(5) 0.010000
click SD.DesInsertTRcmd(1)

choose SD.DesEtapaCbo "2a. Etapa"
choose SD.DesTuboDiamlst "200"
choose SD.DesPavmtoCbo(1) "Terra"
input pick 19,-45
input pick 80,-44
click SD.DesInsertTRcmd(0)
expect text SD.DesTxt(4) "60.00"
set SD.DesTxt(5) 0.005000
click SD.DesInsertTRcmd(1)

# The manhole a drop pipe runs into is picked anywhere on its circle, also
# where the drop texts start: PV-4 on its east and north points.
input pick 81,-45 prompt "Selecione PV 1: "
input pick 20,-46 prompt "Selecione PV 2: "
click SD.DesInsertTRcmd(0)
expect text SD.DesTxt(4) "60.00"
expect enabled SD.DesInsertTRcmd(1) true
input pick 80,-44 prompt "Selecione PV 1: "
input pick 19,-45 prompt "Selecione PV 2: "
click SD.DesInsertTRcmd(0)
expect text SD.DesTxt(4) "60.00"

# Read back from the file: a copy, so that the host cannot hand back the
# drawing it still holds.
save ${tmp}/rede.dwg
copy ${tmp}/rede.dwg ${tmp}/copia.dwg
new
expect entities 0 0=INSERT
open ${tmp}/copia.dwg

expect entities 4 0=INSERT 2=E-PV
expect entities 3 0=INSERT 2=E-TRSAN
expect entities 3 0=LINE
expect entities 2 0=LINE 8=T_150
expect entities 1 0=LINE 8=T_200_E2
expect attribute NUMERO at 0,0 PV-1
expect attribute CS at 60,0 99.900
expect attribute CP at 20,-45 1.850
expect attribute ET at 80,-45 2
expect attribute ET at 0,0 1
expect attribute DD at 30,0 150-60.00
expect attribute TRECHO at 30,0 PV-1-PV-2
expect attribute PV2 at 30,0 60.0000,0.0000
expect attribute DG at 30,0 ""
expect attribute DD at 40,-22.5 150-60.21
expect attribute TCP at 40,-22.5 0.148
expect attribute TCS at 40,-22.5 99.298
expect attribute DG at 40,-22.5 O
expect attribute TQ at 40,-22.5 ""
expect attribute PV1 at 40,-22.5 60.0000,0.0000
expect attribute TRECHO at 40,-22.5 PV-2-PV-3
expect attribute MAT at 50,-45 PVC
expect attribute PAVMTO at 50,-45 Terra
expect attribute ET at 50,-45 2
expect attribute TCP at 50,-45 0.850
expect attribute TQ at 50,-45 O
expect attribute DG at 50,-45 O
