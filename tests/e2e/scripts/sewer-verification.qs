# Verifying a designed sewer network from the sewer panel: two manholes
# numbered alike, a third whose depth was written wrong and a reach whose
# length was typed wrong are drawn; the manholes are verified, the fault list
# walked, a kind of fault taken out of it and the depth corrected in the
# manhole dialog; the reaches are verified, the length corrected in the reach
# dialog, and a last run finds the network clean.

start
new
tab SSIniciar 1

# Two manholes, both numbered PV-1.
type SD.DesTxtS(1) "PV-"
type SD.DesTxt(3) "1"
type SD.DesTxt(0) "102"
key SD.DesTxt(0) Return
type SD.DesTxt(1) "100.5"
key SD.DesTxt(1) Return
input point 0,0 prompt "Ponto de inserção: "
input angle 0 prompt "Direção: "
click SD.DesInsertPVcmd
type SD.DesTxt(1) "99.8"
key SD.DesTxt(1) Return
input point 50,0 prompt "Ponto de inserção: "
input angle 0 prompt "Direção: "
click SD.DesInsertPVcmd
expect attribute NUMERO at 50,0 PV-1
# A third, PV-3, whose depth was written wrong: 1.400 where its elevations
# give 1.500. Written by code, the fields move one another only from the
# field that has the focus, the depth here: it goes first.
set SD.DesTxt(3) "3"
set SD.DesTxt(2) "1.400"
set SD.DesTxt(0) "10.000"
set SD.DesTxt(1) "8.500"
input point 0,-50 prompt "Ponto de inserção: "
input angle 0 prompt "Direção: "
click SD.DesInsertPVcmd
expect attribute CP at 0,-50 1.400

# The reach between them, its length mistyped as 45.
tab SD.SSDesenho 1
choose SD.DesMatTuboCbo(0) "PVC"
choose SD.DesTuboDiamlst "150"
choose SD.DesPavmtoCbo(1) "Asfalto"
input pick 0,1 prompt "Selecione PV 1: "
input pick 50,1 prompt "Selecione PV 2: "
click SD.DesInsertTRcmd(0)
expect text SD.DesTxt(4) "50.00"
set SD.DesTxt(4) "45"
click SD.DesInsertTRcmd(1)
expect attribute DD at 25,0 150-45

# The verification page of the network tab set.
click ESGOption1(1)
tab SD.SSTabBrivan 2
expect enabled SD.CONFCmd(1) false
click SD.CONFCmd(0)
expect visible SD.SANERROptlst true
expect count SD.SANERROptlst 2
# "Executar" with nothing chosen says so and keeps the options to choose from.
answer frmMsgBox
  expect text Mensagem contains "Nenhuma opção"
  click CmdOK
end
click SD.CONFCmd(1)
expect visible SD.SANERROptlst true
expect count SD.SANERROptlst 2
choose SD.SANERROptlst "VERIFICAR PVs"
expect count SD.SANERROptlst 5
expect enabled SD.CONFCmd(1) true

# The manholes: one duplicate pair, reported, listed twice and marked twice,
# and PV-3's depth.
answer frmTips
  expect text Text1 contains "1 Pvs com número duplicado"
  expect text Text1 contains "1 Erros no valor da Profundidade"
  expect text Text1 contains "ERROS LOCALIZADOS EM TRECHOS:"
  click cmdOK
end
click SD.CONFCmd(1)
expect visible SD.SANERRlst true
expect enabled SD.CONFCmd(1) false
expect count SD.SANERRlst 3
expect entities 3 0=INSERT 2=ErroC 8=0-Conferencia
expect entities 1 0=LWPOLYLINE 8=0-Conferencia

# Walking the list: the first line offers to remove this kind of fault; "Não".
answer frmMsgBox
  expect text Titulo "Use a ferramenta adequada!"
  expect text Mensagem "Quer remover este tipo de ocorrência da lista?"
  click CmdCancel
end
key SD.SANERRlst Space
expect index SD.SANERRlst 0
expect count SD.SANERRlst 3
# The second line: "Sim" takes it out; the same fault above it stays.
answer frmMsgBox
  click CmdOK
end
key SD.SANERRlst Down
expect count SD.SANERRlst 2

# PV-3 corrected in the manhole dialog, where an emptied field counts as 0:
# no depth leaves the invert at the ground, no invert makes the ground the
# depth.
answer frmEditPV
  expect text Titulo "PV: PV-3"
  expect text Text1 "10.000"
  expect text Text2 "8.500"
  expect text Text3 "1.400"
  expect text CalcCmd(5) "1.500"
  key Text3 Ctrl+A
  key Text3 Delete
  expect text Text3 ""
  expect text Text2 "10.000"
  key Text2 Ctrl+A
  type Text2 "8.5"
  expect text Text3 "1.500"
  key Text2 Ctrl+A
  key Text2 Delete
  expect text Text3 "10.000"
  type Text2 "8.500"
  expect text Text3 "1.500"
  click CmdOK
end
choose SD.SANERRlst "Prof = 1.500"
expect count SD.SANERRlst 1
expect attribute CP at 0,-50 1.500
expect attribute CS at 0,-50 8.500

# The reaches alone: the length fault.
click SD.CONFCmd(0)
expect entities 0 0=INSERT 2=ErroC
choose SD.SANERROptlst "VERIFICAR TRECHOS"
answer frmTips
  expect text Text1 contains "1 Erros no comprimento"
  click cmdOK
end
click SD.CONFCmd(1)
expect count SD.SANERRlst 1

# Corrected in the reach dialog: the display holds the drawn length.
answer frmEditTR
  expect text Titulo "Trecho: PV-1-PV-1"
  expect text Label1 "A diferença entre o comprimento de 45m e o real de 50.00m é igual a 5.00m."
  expect text Text1 "45.00"
  expect text CalcCmd(5) "50.00"
  click CalcCmd(5)
  expect text Text1 "50.00"
  click CmdOK
end
key SD.SANERRlst Space
expect count SD.SANERRlst 0
expect attribute DD at 25,0 150-50.00

# Verified again, the lengths are right.
click SD.CONFCmd(0)
choose SD.SANERROptlst "VERIFICAR TRECHOS"
choose SD.SANERROptlst "TR: Declividades"
click SD.CONFCmd(1)
expect count SD.SANERRlst 0
expect entities 0 0=INSERT 2=ErroC
