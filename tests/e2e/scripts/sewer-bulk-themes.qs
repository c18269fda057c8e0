# Bulk change and themes from the sewer panel: a small designed network is
# drawn, picked without and with "Filtrar", its pavement and stage changed
# where the filter kept it, tallied by "Etapa" in the theme grid, marked in
# the drawing, and a cell of the grid copied with the key C.

start
new
tab SSIniciar 1

# Three manholes, the third of the second stage, 5 units apart: the network
# lies in the new drawing's view, where the user's windows pick.
choose SD.DesEtapaCbo "1a. Etapa"
set SD.DesTxtS(1) PV-
set SD.DesTxt(3) 1
set SD.DesTxt(0) 102.000
set SD.DesTxt(1) 100.500
set SD.DesTxt(2) 1.500
input point 1,1 prompt "Ponto de inserção: "
input angle 0 prompt "Direção: "
click SD.DesInsertPVcmd

set SD.DesTxt(3) 2
set SD.DesTxt(0) 101.900
set SD.DesTxt(1) 99.900
set SD.DesTxt(2) 2.000
input point 6,1
input angle 0
click SD.DesInsertPVcmd

choose SD.DesEtapaCbo "2a. Etapa"
set SD.DesTxt(3) 3
set SD.DesTxt(0) 101.300
set SD.DesTxt(1) 99.300
set SD.DesTxt(2) 2.000
input point 11,1
input angle 0
click SD.DesInsertPVcmd

# Two reaches: on asphalt in the first stage, on earth in the second.
tab SD.SSDesenho 1
choose SD.DesEtapaCbo "1a. Etapa"
choose SD.DesMatTuboCbo(0) "PVC"
choose SD.DesTuboDiamlst "150"
choose SD.DesPavmtoCbo(1) "Asfalto"
input pick 1,2 prompt "Selecione PV 1: "
input pick 6,2 prompt "Selecione PV 2: "
click SD.DesInsertTRcmd(0)
click SD.DesInsertTRcmd(1)

choose SD.DesEtapaCbo "2a. Etapa"
choose SD.DesPavmtoCbo(1) "Terra"
input pick 6,2
input pick 11,2
click SD.DesInsertTRcmd(0)
click SD.DesInsertTRcmd(1)
expect attribute PAVMTO at 3.5,1 Asfalto
expect attribute PAVMTO at 8.5,1 Terra

# The bulk-change tab. Without "Filtrar" the lists are not looked at: every
# manhole and reach picked counts.
click ESGOption1(1)
tab SD.SSTabBrivan 4
expect enabled SD.CHChangeCmd false
choose SD.CHPavCbo "Asfalto"
input crossing 0,0 12,9
input enter prompt "Selecione objetos: "
click SD.CHSelectCmd
expect text SD.CHlbl "5 objetos"
expect enabled SD.CHChangeCmd true

# With "Filtrar": only the reach on asphalt stays (manholes carry no pavement).
click SD.CHchk
input crossing 0,0 12,9
input enter
click SD.CHSelectCmd
expect text SD.CHlbl "1 objetos"

# New pavement and stage for what was kept.
choose SD.CHPavCbo "Concreto"
choose SD.CHEtCbo "2"
click SD.CHChangeCmd
expect attribute PAVMTO at 3.5,1 Concreto
expect attribute ET at 3.5,1 2
expect attribute PAVMTO at 8.5,1 Terra
expect attribute ET at 1,1 1
expect enabled SD.CHChangeCmd false
expect text SD.CHlbl ""
expect text SD.CHPavCbo "Não usar"
expect text SD.CHEtCbo "Não usar"

# Themes by stage: the two first-stage manholes, then three of the second.
tab SD.SSTabBrivan 5
expect enabled SD.TEMAPrintCmd false
choose SD.TEMACbo "Etapa"
input crossing 0,0 12,9
input enter prompt "Selecione objetos: "
click SD.TEMAPesqCmd
expect cell SD.TEMAFlg 1 1 "1"
expect cell SD.TEMAFlg 1 2 2
expect cell SD.TEMAFlg 1 0 "" back &HFF&
expect cell SD.TEMAFlg 2 1 "2"
expect cell SD.TEMAFlg 2 2 3
expect cell SD.TEMAFlg 2 0 "" back &HFFFF&
expect enabled SD.TEMAPrintCmd true

# Marked: a red marker on each first-stage manhole, a yellow one on the
# third, yellow lines along both reaches, all on the verification layer.
click SD.TEMAPrintCmd
expect enabled SD.TEMAPrintCmd false
expect entities 3 0=INSERT 8=0-Conferencia
expect entities 2 0=LWPOLYLINE 8=0-Conferencia

# The key C copies the cell the user stands on.
key SD.TEMAFlg Right
key SD.TEMAFlg C
expect clipboard "2"
key SD.TEMAFlg Up
key SD.TEMAFlg Right
key SD.TEMAFlg C
expect clipboard "2"
key SD.TEMAFlg Left
key SD.TEMAFlg C
expect clipboard "1"

# A new search clears the marks first.
choose SD.TEMACbo "Pavimento"
input crossing 0,0 12,9
input enter
click SD.TEMAPesqCmd
expect entities 0 8=0-Conferencia
expect cell SD.TEMAFlg 1 1 "Concreto"
expect cell SD.TEMAFlg 2 1 "Terra"
