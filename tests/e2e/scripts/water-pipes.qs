# The water panel's pipe: two couplings placed 50 apart, joined through
# "Tubos" by picking them; the pipe dialog's contribution and length go into
# the label "A-TUBO", and the pipe lies on its diameter's layer. A pipe to a
# coupling of another diameter asks first, and "Não" draws nothing.

start
new
tab SSIniciar 2
click AGUOption1(0)

choose WC.Material "PVC PBA"
press WC.WATMenu 5
expect tooltip WC.WATMenu.Picture1 "Luva de correr"

# Two DN 100 couplings, 50 apart, turned to lie along X.
input point 100,100 prompt "Ponto de inserção: "
input angle 0
choose WC.WatDP "100"
input point 150,100
input angle 0
click WC.DesCmd
expect entities 2 0=INSERT 2=A-LUVA
expect attribute CODIGO at 150,100 "LUPBADN100"

# Both sockets are DN 100 of the material's pipe: no question, the dialog.
input pick 100.9,100 prompt "Selecione Conexão ou Polyline:"
input pick 149.1,100 prompt "Selecione Conexão:"
answer frmWATTubo
  expect text Titulo "DN100"
  # From each coupling's point through its socket: 1 + 48 + 1.
  expect text Text1 "50"
  expect text Combo1 "Tubo PVC PBA JE Classe 15"
  expect visible Frame1(1) false
  click Option1(1)
  click CmdOK
end
click WC.TuboCmd

expect entities 1 0=INSERT 2=A-TUBO 8=TRECHO
expect attribute CODIGO at 125,100 "PBA15DN100-50m"
expect attribute CONTRIB at 125,100 "NAO"
expect attribute MATERIAL at 125,100 "Tubo PVC PBA JE Classe 15"
expect attribute ETAPA at 125,100 "0"
expect attribute H1 at 125,100 "101.0000,100.0000"
expect attribute H2 at 125,100 "149.0000,100.0000"
expect entities 1 0=LWPOLYLINE 8=T_100

# A DN 75 coupling further on: the diameters disagree, and "Não" stops.
input point 200,100
input angle 0
choose WC.WatDP "75"
expect entities 3 0=INSERT 2=A-LUVA
expect attribute CODIGO at 200,100 "LUPBADN75"

input pick 150.9,100
input pick 199.1,100
answer frmMsgBox
  expect text Titulo "Atenção"
  expect text Mensagem "Os diametros não coincidem.\r\nContinuar assim mesmo?"
  click CmdCancel
end
click WC.TuboCmd
expect entities 1 0=INSERT 2=A-TUBO
expect entities 1 0=LWPOLYLINE

# The preferred pipe of PVC PBA becomes class 20; the fittings table, opened
# and closed meanwhile, reloads the catalogue, and the change still holds.
tab WC.SSDesenho 1
choose WC.PrefMatCbo "PVC PBA"
answer frmMsgBox CmdOK
choose WC.PrefTubCbo "Tubo PVC PBA JE Classe 20"
hover AGUOption1(0) Shift
answer frmTable cmdEnd
click TableCmd
expect text WC.PrefTubCbo "Tubo PVC PBA JE Classe 20"
tab WC.SSDesenho 0
# Two more couplings below, joined from right to left.
input point 50,20
input angle 0
choose WC.WatDP "100"
input point 100,20
input angle 0
click WC.DesCmd
input pick 99.1,20
input pick 50.9,20
answer frmWATTubo
  expect text Combo1 "Tubo PVC PBA JE Classe 20"
  # A length is a positive number of digits with one decimal separator.
  set Text1 "."
  click CmdOK
  expect message contains "\".\" deve ser um número positivo"
  set Text1 "-5"
  click CmdOK
  set Text1 "49,5"
  click CmdOK
end
answer frmMsgBox CmdOK
answer frmMsgBox CmdOK
click WC.TuboCmd
expect attribute CODIGO at 75,20 "PBA20DN100-49,5m"

# Its label put back by the mover stands above the pipe, where drawing put
# it: it is picked there again.
input pick 75,21.15 prompt "Selecione objeto:"
input enter prompt "Destino:"
click WC.FERimg2(1)
input pick 75,21.15 prompt "Selecione objeto:"
input enter prompt "Destino:"
click WC.FERimg2(1)

click cmdEnd
expect ended
