# The water panel's conversion of an old drawing, kept beside this script
# ("water-old-format.dxf": four "R-TE" tees TEPBADN50x50 at 0,0 50,0 100,0
# 150,0 and two pipes on "T_50" from 4 to 46 and from 104 to 146, labelled by
# "R-TUBO" PBA15DN50-6m at 25,2 and PBA15DN50-X (a length that is no number)
# at 125,2; a second line on "T_50" from 120,5 to 130,5 crosses the second
# label's window). "Automático" converts the first pipe and leaves the second
# to the manual phase, where the person picks it; the continuity check then
# marks both labels; then "Manual" alone on a fresh copy, whose fittings are
# still old.

start
open ${scripts}/water-old-format.dxf
tab SSIniciar 2
click AGUOption1(1)
tab WC.SSTools 1
expect text WC.lblWat(5) "Converter Antigos:"

answer frmMsgBox
  expect text Titulo "Antes de iniciar verifique:"
  expect text Mensagem contains "1) Todos os blocos R-TUBO no Layer TRECHO;"
  expect text CmdOK "Sim"
  click CmdOK
end
answer frmMsgBox
  expect text Titulo "Converter antigos"
  expect text Mensagem contains "1 não puderam ser atualizadas automaticamente"
  expect text Check1 "Ocultar este diálogo"
  click CmdOK
end
input pick 125,2 prompt "Selecione Código"
input pick 140,0 prompt "Selecione linha do tubo:"
answer frmMsgBox
  expect text Titulo "Desenhos Antigos"
  expect text Mensagem contains "Concluido."
  click CmdOK
end
click WC.AntigosCmd
expect windowstate Form1 0

# Fittings: "A-TE" with CODIGO and the material of their catalogue code.
expect entities 4 0=INSERT 2=A-TE
expect entities 0 0=INSERT 2=R-*
expect attribute CODIGO at 50,0 "TEPBADN50x50"
expect attribute MATERIAL at 50,0 "PVC PBA"
# Pipes: socket to socket, labelled at their middle.
expect entities 2 0=INSERT 2=A-TUBO 8=TRECHO
expect entities 2 0=LWPOLYLINE 8=T_50
expect attribute CODIGO at 25,0 "PBA15DN50-6m"
expect attribute MATERIAL at 25,0 "Tubo PVC PBA JE Classe 15"
expect attribute H1 at 25,0 "0.0000,0.0000"
expect attribute H2 at 25,0 "50.0000,0.0000"
expect attribute CONTRIB at 25,0 "SIM"
expect attribute H1 at 125,0 "100.0000,0.0000"
expect attribute H2 at 125,0 "150.0000,0.0000"
expect attribute CODIGO at 125,0 "PBA15DN50-X"

# The continuity check reads on past the length that is no number and marks
# that label, as it marks the first pipe's 6 m against its 50.
tab WC.SSTools 2
zoom -10,-10 160,10
input crossing -10,-10 160,10
input enter
answer frmMsgBox
  expect text Mensagem "Trechos com falhas: 2 (marcadas na camada \"0-Conferencia\")."
  click CmdOK
end
click WC.WatVerifCmd
expect entities 2 0=INSERT 2=ErroC 8=0-Conferencia
expect attribute MENSAGEM at 123,2.5 "Código inválido"
tab WC.SSTools 1

# "Manual" alone: the old tees are no "A-" fittings, so the pipe cannot be tied to them.
copy ${scripts}/water-old-format.dxf ${tmp}/antigo.dxf
open ${tmp}/antigo.dxf
input pick 25,2 prompt "Selecione Código"
input pick 40,0 prompt "Selecione linha do tubo:"
answer frmMsgBox
  expect text Titulo "Atenção"
  expect text Mensagem "Corrija as conexões"
  click CmdOK
end
click WC.AntigosManCmd
expect entities 2 0=INSERT 2=R-TUBO
expect entities 0 0=LWPOLYLINE
# A pick of something else than an old label ends without a word.
input pick 0,0 prompt "Selecione Código"
click WC.AntigosManCmd
expect entities 2 0=INSERT 2=R-TUBO

click cmdEnd
expect ended
