# The water panel's continuity check and nodes drawing on a network drawn
# through the panel: three DN 100 couplings 50 apart joined by two pipes, the
# second labelled 70 m though it measures 50. The check marks that label and
# draws nothing else; with a wider tolerance it draws every pipe's tapered
# path and its end circles; "Limpa" clears them. "Construir Desenho" then
# builds the nodes drawing beside the network, the older one going to the
# trash, and "Numerar os Nodes" numbers its three nodes.

start
new
tab SSIniciar 2
click AGUOption1(0)
choose WC.Material "PVC PBA"
press WC.WATMenu 5
expect tooltip WC.WATMenu.Picture1 "Luva de correr"

input point 100,100 prompt "Ponto de inserção: "
input angle 0
choose WC.WatDP "100"
input point 150,100
input angle 0
click WC.DesCmd
input point 200,100
input angle 0
click WC.DesCmd
expect entities 3 0=INSERT 2=A-LUVA

input pick 100.9,100 prompt "Selecione Conexão ou Polyline:"
input pick 149.1,100 prompt "Selecione Conexão:"
answer frmWATTubo
  expect text Text1 "50"
  click CmdOK
end
click WC.TuboCmd
input pick 199.1,100 prompt "Selecione Conexão ou Polyline:"
input pick 150.9,100 prompt "Selecione Conexão:"
answer frmWATTubo
  set Text1 "70"
  click CmdOK
end
click WC.TuboCmd
expect entities 2 0=INSERT 2=A-TUBO
save ${tmp}/Bairro-CAD.dwg
zoom 50,50 250,150
write ${tmp}/Bairro-CAD_NOD.dwg "numeração antiga"

# The check at its initial tolerance of 10: the 70 m label is 20 off.
click AGUOption1(1)
tab WC.SSTools 2
expect value WC.WatVerifScr 10
input crossing 90,90 210,110
input enter
answer frmMsgBox
  expect text Titulo "Lendo Trechos..."
  expect text Mensagem "Trechos com falhas: 1 (marcadas na camada \"0-Conferencia\")."
  click CmdOK
end
click WC.WatVerifCmd
expect entities 1 0=INSERT 2=ErroC 8=0-Conferencia
expect attribute MENSAGEM at 175,101.15 "50.00 x 70"
expect entities 0 0=LWPOLYLINE 8=0-Conferencia

# Stopped from the cancel window before the first pipe: nothing is drawn.
click WC.WarVerifLimpaCmd
input crossing 90,90 210,110
input enter
when frmCancelar
  expect text Label2 "Levantando Dados da Rede..."
  click CmdCancel
end
click WC.WatVerifCmd
expect entities 0 8=0-Conferencia

# Tolerance 30: no fault; each pipe's path from coupling to coupling, tapered,
# and a circle at each end.
set WC.WatVerifScr 30
expect text WC.WatVerifLbl "30"
input crossing 90,90 210,110
input enter
click WC.WatVerifCmd
expect entities 2 0=LWPOLYLINE 8=0-Conferencia
expect entities 4 0=CIRCLE 8=0-Conferencia
expect entities 0 0=INSERT 8=0-Conferencia
click WC.WarVerifLimpaCmd
expect entities 0 8=0-Conferencia

# The nodes drawing: one node per pipe end, the shared coupling once.
click AGUOption1(2)
tab WC.SSLumbra 1
input crossing 90,90 210,110
input enter
click WC.NODLerDesenhoCmd
expect file ${tmp}/Bairro-CAD_NOD.dwg
expect content ${home}/.local/share/Trash/files/Bairro-CAD_NOD.dwg "numeração antiga"
expect entities 3 0=INSERT 2=ErroC 8=NODES
expect entities 3 0=CIRCLE
expect entities 1 0=INSERT 2=REDE

click WC.NODNumeraCmd
expect attribute MENSAGEM at 100,100 "1"
expect attribute MENSAGEM at 150,100 "2"
expect attribute MENSAGEM at 200,100 "3"

click cmdEnd
expect ended
