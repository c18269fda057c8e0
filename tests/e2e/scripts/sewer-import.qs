# The import of a design table from the sewer panel: "Desenhar" before any
# table is open, the table opened and drawn into a new drawing (its one
# unknown material chosen in the picker), the drawing saved (not over the
# table, nor into a folder whose name holds "\"), drawn again (not saved over
# the first drawing) and read back; and, without a drawing host, "Desenhar"
# stopped at once.
# The table (tables/rede.dbf) holds reach 2 before reach 1: 1 → 2 of PVC on
# asphalt, 2 → 3 of "Ferro" on earth.

copy ${scripts}/tables/rede.dbf ${data}/rede.dbf
# Last year's drawing in "Obra", and a folder "Obra\" beside it.
write ${data}/Obra/rede.dwg "last year"
mkdir "${data}/Obra\\"
# Started from its own folder, which holds its "IniFile.txt".
start in ${program}
new
tab SSIniciar 1
click ESGOption1(1)
tab SD.SSTabBrivan 1

press SD.ImpMenu 2
expect text SD.IMPLbl "Abra uma Tabela primeiro"
expect entities 0

# The drawing never saved: the dialog opens in the user's folder.
dialog open ${data}/rede.dbf in ${home}
press SD.ImpMenu 1
expect text SD.IMPLbl "rede.dbf"

answer frmList
  expect text Label1 "Material desconhecido: Ferro"
  choose List1 "Cerâmico"
  expect text Label2 "Cerâmico"
  click Command1(0)
end
answer frmMsgBox
  expect text Titulo "Desenhando"
  expect text Mensagem contains "Concluido"
  click CmdOK
end
# The open table is no file for the drawing: refused, naming it, and asked
# again. The dialog opens beside the table, whose name it proposes.
dialog save ${data}/rede.dbf in ${data}
dialog yes
answer frmMsgBox
  expect text Mensagem "O arquivo ${data}/rede.dbf é a tabela aberta e não pode ser substituído pelo desenho.\r\n\r\nEscolha outro arquivo."
  click CmdOK
end
# Saving into "Obra\" is refused, saying why; the dialog comes back.
dialog save "${data}/Obra\\/rede.dwg"
dialog ok
dialog save ${data}/rede.dwg
press SD.ImpMenu 2
expect message contains "não podem ser usados"
expect content ${data}/Obra/rede.dwg "last year"
expect nofile "${data}/Obra\\/rede.dwg"

# Three manholes and two reaches, as the table says.
expect entities 3 0=INSERT 2=E-PV
expect entities 2 0=INSERT 2=E-TRSAN
expect attribute NUMERO at 10,10 1
expect attribute CT at 10,10 101.500
expect attribute CS at 10,10 100.100
expect attribute NUMERO at 60,10 2
expect attribute CP at 60,10 1.500
# The last manhole keeps the table's own texts.
expect attribute NUMERO at 60,60 3
expect attribute CT at 60,60 100.9
expect attribute CP at 60,60 1.6
expect attribute TRECHO at 35,10 1
expect attribute MAT at 35,10 PVC
expect attribute PAVMTO at 35,10 Asfalto
expect attribute TRECHO at 60,35 2
expect attribute MAT at 60,35 Cerâmico
expect attribute PAVMTO at 60,35 Terra
expect file ${data}/rede.dwg

# Drawn again, into a new drawing: the first one, still open, is not
# proposed (the dialog opens beside the table with its name field empty, so
# it only says the folder is a folder), and chosen, it is refused.
answer frmList
  choose List1 "Cerâmico"
  click Command1(0)
end
answer frmMsgBox
  expect text Mensagem contains "Concluido"
  click CmdOK
end
dialog accept in ${data}
dialog ok
dialog save ${data}/rede.dwg
dialog yes
answer frmMsgBox
  expect text Mensagem "O arquivo ${data}/rede.dwg é o desenho aberto e não pode ser substituído pelo desenho.\r\n\r\nEscolha outro arquivo."
  click CmdOK
end
dialog save ${data}/rede2.dwg
press SD.ImpMenu 2
expect file ${data}/rede2.dwg
expect entities 3 0=INSERT 2=E-PV

# The saved drawing holds the network; the table is as it was.
new
open ${data}/rede.dwg
expect entities 3 0=INSERT 2=E-PV
expect attribute MAT at 60,35 Cerâmico
expect dbf ${data}/rede.dbf 1 CLTAT 2
expect dbf ${data}/rede.dbf 1 MATER Ferro
expect dbf ${data}/rede.dbf 2 PVJ 2

# Without a drawing host, "Desenhar" stops at once with the connection's
# message: no question about the table's unknown material comes first.
click cmdEnd
start nohost in ${program}
tab SSIniciar 1
click ESGOption1(1)
tab SD.SSTabBrivan 1
dialog open ${data}/rede.dbf
press SD.ImpMenu 1
expect text SD.IMPLbl "rede.dbf"
answer frmMsgBox
  expect text Titulo "Atenção"
  expect text Mensagem contains "Inicie o AutoCAD"
  click CmdOK
end
press SD.ImpMenu 2
expect running
