# A long operation stopped from the cancel window: the manhole pass of a
# verification is cancelled at its first yield, before any fault was found, so
# nothing is reported or marked, and the program goes on.

start
new
tab SSIniciar 1

# Three manholes, all numbered PV-1.
type SD.DesTxtS(1) "PV-"
type SD.DesTxt(3) "1"
type SD.DesTxt(0) "102"
key SD.DesTxt(0) Return
type SD.DesTxt(1) "100.5"
key SD.DesTxt(1) Return
input point 0,0 prompt "Ponto de inserção: "
input angle 0 prompt "Direção: "
click SD.DesInsertPVcmd
set SD.DesTxt(3) "1"
input point 50,0 prompt "Ponto de inserção: "
input angle 0 prompt "Direção: "
click SD.DesInsertPVcmd
set SD.DesTxt(3) "1"
input point 100,0 prompt "Ponto de inserção: "
input angle 0 prompt "Direção: "
click SD.DesInsertPVcmd

click ESGOption1(1)
tab SD.SSTabBrivan 2
click SD.CONFCmd(0)
choose SD.SANERROptlst "VERIFICAR PVs"

# "Cancelar" on the cancel window while the pass yields.
when frmCancelar
  expect text Label2 "Verificando PVs..."
  click CmdCancel
end
click SD.CONFCmd(1)
expect entities 0 0=INSERT 2=ErroC
expect running
expect enabled SD.CONFCmd(0) true
