# A generic network rebuilt from the reach lines of its own DXF export: a
# collector of three manholes drawn, captured, numbered and exported from the
# sewer panel; the exported file opened and "Recupera Des. Brivan" pressed; the
# rebuilt manholes numbered in the order their line ends are met, the rebuilt
# reaches carrying the exported pavement and contribution, the drawing saved.

start
new
tab SSIniciar 1

# A 0,0 - B 40,0 - C 80,0, falling towards C.
tab SD.SSDesenho 2
choose SD.DesEtapaCbo "1a. Etapa"
set SD.DesTxtS(0) ""
set SD.DesTxt(8) "A"
set SD.DesTxt(7) "104"
input point 0,0 prompt "Selecione local: "
click SD.DesInsertPVGenCmd
set SD.DesTxt(8) "B"
set SD.DesTxt(7) "103"
input point 40,0 prompt "Selecione local: "
click SD.DesInsertPVGenCmd
set SD.DesTxt(8) "C"
set SD.DesTxt(7) "102"
input point 80,0 prompt "Selecione local: "
click SD.DesInsertPVGenCmd
choose SD.DesPavmtoCbo(0) "Asfalto"
choose SD.DesMatTuboCbo(1) "PVC"
click SD.DesGenContribOpt(1)
input pick 0,1 prompt "Selecione PV 1: "
input pick 40,1 prompt "Selecione PV 2: "
click SD.DesInsertTRGenCmd
choose SD.DesPavmtoCbo(0) "Terra"
click SD.DesGenContribOpt(2)
input pick 40,1 prompt "Selecione PV 1: "
input pick 80,1 prompt "Selecione PV 2: "
click SD.DesInsertTRGenCmd
expect attribute PAVMTO at 20,0 Asfalto
expect attribute PAVMTO at 60,0 Terra
expect attribute CONTRIB at 20,0 SIM
expect attribute CONTRIB at 60,0 UNI

# Captured, its one collector numbered from its start, exported.
click ESGOption1(1)
tab SD.SSTabBrivan 0
answer frmMsgBox CmdOK
click SD.SANCaptureCmd
input point 0.7071,0.7071 prompt "Selecione PV de Montante:"
click SD.SANNumereCmd
expect enabled SD.SANSaveDXFCmd true
answer frmMsgBox CmdOK
dialog save ${tmp}/rede.dxf
click SD.SANSaveDXFCmd
expect file ${tmp}/rede.dxf

# The export opened as a drawing of its own: lines on "REDE", no blocks.
open ${tmp}/rede.dxf
expect entities 0 0=INSERT 2=E-PVGEN
expect entities 2 0=LINE 8=REDE

# The recovery, from the import tab.
tab SD.SSTabBrivan 1
answer frmMsgBox
  expect text Mensagem "Concluido"
  click CmdOK
end
dialog save ${tmp}/recuperada.dwg
click SD.SanRecuperaCmd
expect entities 3 0=INSERT 2=E-PVGEN
expect entities 2 0=INSERT 2=E-TRCGEN
expect attribute NUMERO at 0,0 1
expect attribute NUMERO at 40,0 2
expect attribute NUMERO at 80,0 3
expect attribute CT at 0,0 104.000
expect attribute PAVMTO at 20,0 Asfalto
expect attribute PAVMTO at 60,0 Terra
# The export writes every reach as contributing ("SIM"), whatever it was.
expect attribute CONTRIB at 20,0 SIM
expect attribute CONTRIB at 60,0 SIM

# The saved drawing holds the rebuilt network.
expect file ${tmp}/recuperada.dwg
open ${tmp}/recuperada.dwg
expect entities 3 0=INSERT 2=E-PVGEN
expect entities 2 0=INSERT 2=E-TRCGEN
