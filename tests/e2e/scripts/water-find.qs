# The water panel's code search: fittings whose codes hold "DN100", taken
# from a crossing window (a pipe label and a fitting outside the window left
# out), walked one by one with the main window minimised until "Não". The
# search is case-sensitive, and a cancelled scan says nothing.

start
new
tab SSIniciar 2
click AGUOption1(0)

# Two DN 100 couplings joined by a pipe, whose label holds "DN100" too.
choose WC.Material "PVC PBA"
press WC.WATMenu 5
input point 100,100
input angle 0
choose WC.WatDP "100"
input point 150,100
input angle 0
click WC.DesCmd
input pick 100.9,100
input pick 149.1,100
answer frmWATTubo CmdOK
click WC.TuboCmd
expect attribute CODIGO at 125,100 "PBA15DN100-50m"

# A DN 75 coupling, a tee 100 x 75 inside the window, and one more outside.
input point 200,100
input angle 0
choose WC.WatDP "75"
press WC.WATMenu 1
choose WC.WatDP "100"
input point 250,100
input angle 0
choose WC.WatDS "75"
input point 400,100
input angle 0
click WC.DesCmd
expect entities 6 0=INSERT

# Only fittings: the two DN 100 couplings and the first tee.
zoom 80,60 420,140
tab WC.SSDesenho 1
type WC.FindTxt "DN100"
set WC.FindChk(1) 1
set WC.FindChk(0) 0
input crossing 90,99 260,101
input enter prompt "Selecione objetos: "
when frmCancelar
  expect text Label2 "Localizar Código"
end
answer frmMsgBox
  expect text Titulo "Localizar Código - 1 de 3"
  expect text Mensagem "Continuar?"
  expect windowstate Form1 1
  # Away from the hit, which the view shows at its centre.
  expect left frmMsgBox 1200
  expect top frmMsgBox 1200
  click CmdOK
end
answer frmMsgBox
  expect text Titulo "Localizar Código - 2 de 3"
  click CmdCancel
end
click WC.FindCmd
expect windowstate Form1 0

# The same text in lower case finds nothing.
zoom 80,60 420,140
set WC.FindTxt "dn100"
input crossing 90,99 260,101
input enter
answer frmMsgBox
  expect text Titulo "Localizar dn100"
  expect text Mensagem "Nenhuma ocorrencia encontrada."
  click CmdOK
end
click WC.FindCmd

# Cancelled during the scan: no message, the main window as it was.
zoom 80,60 420,140
set WC.FindTxt "DN100"
input crossing 90,99 260,101
input enter
when frmCancelar
  click CmdCancel
end
click WC.FindCmd
expect windowstate Form1 0

click cmdEnd
expect ended
