# The quantities of a small designed sewer network, as a person gets them
# from the sewer panel: four manholes and three reaches drawn (no drop, a
# step, a drop pipe; two stages), the quantity table inserted at a point, and
# the quantity spreadsheet written (never over its template), checked and
# handed to its program.

# A spreadsheet program for the workbooks the program hands over.
write ${home}/.local/share/applications/planilhas.desktop "[Desktop Entry]\nType=Application\nName=Planilhas\nExec=planilhas %f\nMimeType=application/vnd.ms-excel;\n"
write ${home}/.config/mimeapps.list "[Default Applications]\napplication/vnd.ms-excel=planilhas.desktop\n"

# Started from its own folder, which holds its "IniFile.txt".
start in ${program}
new
tab SSIniciar 1

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

# The deeper manholes of wider types: each type is billed as chosen.
choose SD.DesPVcbo "PV-1200"
set SD.DesTxt(3) 3
set SD.DesTxt(0) 101.000
set SD.DesTxt(1) 99.150
set SD.DesTxt(2) 1.850
input point 20,-45
input angle 0
click SD.DesInsertPVcmd

choose SD.DesEtapaCbo "2a. Etapa"
choose SD.DesPVcbo "PV-1500"
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

# The table: button 1 of the quantities menu, at the point the user gives.
click ESGOption1(1)
tab SD.SSTabBrivan 3
input point 200,100 prompt "Ponto de inserção: "
press SD.InsMenu 1
expect entities 1 0=INSERT 2=RQ-A
expect entities 2 0=INSERT 2=RQ-E
expect entities 12 0=INSERT 2=RQ-I
expect entities 1 0=INSERT 2=RQ-T
expect attribute ETA at 200,95 "1a. Etapa"
expect attribute N at 200,92 1
expect attribute ESP at 200,92 "Poço de visita DN 1000 até 2,50 m"
expect attribute UN at 200,92 Un.
expect attribute QTT at 200,92 2
expect attribute ESP at 200,89 "Poço de visita DN 1200 até 4,00 m"
expect attribute QTT at 200,89 1
expect attribute ESP at 200,86 "Acréscimo de Poço de visita DN 1000 até 2,50 m"
expect attribute QTT at 200,86 1.100
expect attribute ESP at 200,83 "Acréscimo de Poço de visita DN 1200 até 4,00 m"
expect attribute QTT at 200,83 0.850
expect attribute ESP at 200,80 "Tubos de PVC DN 150"
expect attribute UN at 200,80 m
expect attribute QTT at 200,80 118.11
expect attribute ESP at 200,77 "Degraus em PVC DN 150"
expect attribute QTT at 200,77 1
expect attribute ESP at 200,74 "Altura de Degraus em PVC DN 150"
expect attribute QTT at 200,74 0.148
expect attribute ETA at 200,69 "2a. Etapa"
expect attribute N at 200,66 8
expect attribute ESP at 200,66 "Poço de visita DN 1500 até 6,00 m"
expect attribute ESP at 200,63 "Acréscimo de Poço de visita DN 1500 até 6,00 m"
expect attribute QTT at 200,63 1.000
expect attribute ESP at 200,60 "Tubos de PVC DN 200"
expect attribute QTT at 200,60 58.65
expect attribute ESP at 200,57 "Tubos de Queda em PVC DN 200"
expect attribute N at 200,54 12
expect attribute ESP at 200,54 "Altura de Tubos de Queda em PVC DN 200"
expect attribute QTT at 200,54 0.850
expect attribute TOTAL at 200,54 176.76
expect text SD.Progress1.ProgressLbl(0) ""

# The spreadsheet: button 2, the file chosen, the closing words read. The
# template itself, reached through a link to the program folder, is refused,
# naming it, and the name asked again.
link ${program} ${tmp}/programa
dialog save ${tmp}/programa/DadosOrca.xls
dialog yes
answer frmMsgBox
  expect text Mensagem "O arquivo ${tmp}/programa/DadosOrca.xls pertence ao programa (catálogo e modelos) e não pode ser substituído pela planilha.\r\n\r\nEscolha outro arquivo."
  click CmdOK
end
dialog save ${tmp}/quantidades.xls
answer frmMsgBox
  expect text Titulo "Planilha: para concluir"
  expect text Mensagem contains "Substituir Tudo"
  click CmdOK
end
press SD.InsMenu 2
expect opened ${tmp}/quantidades.xls
expect workbook ${tmp}/quantidades.xls Padrao A10 inicia
expect workbook ${tmp}/quantidades.xls Padrao A11 PV-1-PV-2
expect workbook ${tmp}/quantidades.xls Padrao B11 "#'PV-1"
expect workbook ${tmp}/quantidades.xls Padrao E11 "#59,00"
expect workbook ${tmp}/quantidades.xls Padrao G11 "#1,600"
expect workbook ${tmp}/quantidades.xls Padrao U11 "#"
expect workbook ${tmp}/quantidades.xls Padrao A12 PV-2-PV-3
expect workbook ${tmp}/quantidades.xls Padrao E12 "#59,11"
expect workbook ${tmp}/quantidades.xls Padrao G12 "#1,702"
expect workbook ${tmp}/quantidades.xls Padrao U12 "#0,148"
expect workbook ${tmp}/quantidades.xls Padrao A13 PV-3-PV-4
expect workbook ${tmp}/quantidades.xls Padrao D13 "#'200"
expect workbook ${tmp}/quantidades.xls Padrao G13 "#1,150"
expect workbook ${tmp}/quantidades.xls Padrao H13 "#=(F13+G13)/2"
expect workbook ${tmp}/quantidades.xls Padrao A14 ""

# An earlier workbook that cannot go to the trash stays as it was.
write ${tmp}/quantidades.xls "antiga"
write ${home}/.local/share/Trash "no trash"
dialog save ${tmp}/quantidades.xls
dialog yes
answer frmMsgBox
  expect text Mensagem contains "Erro. Arquivo não copiado!"
  click CmdOK
end
press SD.InsMenu 2
remove ${home}/.local/share/Trash
expect content ${tmp}/quantidades.xls "antiga"
expect running

# The drawing never saved: the spreadsheet is proposed under the drawing's
# own name, in the user's documents, where the dialog opens.
mkdir ${home}/Documentos
dialog accept in ${home}/Documentos
answer frmMsgBox
  expect text Titulo "Planilha: para concluir"
  click CmdOK
end
press SD.InsMenu 2
expect workbook ${home}/Documentos/Drawing1.xls Padrao A11 PV-1-PV-2
expect opened ${home}/Documentos/Drawing1.xls
