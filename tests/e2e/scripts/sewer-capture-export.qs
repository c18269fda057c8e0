# A generic sewer network drawn from the sewer panel, two collectors meeting
# at a junction, captured (its collector starts, junction and end marked, and
# the numbering told to be redone), numbered one collector per press of
# "Capture PV inicial" by picking each start, and saved as DXF for the design
# program: the file's lines and the reaches' numbers in the drawing; never
# over the drawing's own file; captured again, numbered and saved, with the
# file's handles afresh.

# Started from its own folder, which holds its "IniFile.txt".
start in ${program}
new
tab SSIniciar 1

# The manholes: A 0,0 - B 40,0 - J 80,0 - F 120,0, and C 80,40 above J.
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
set SD.DesTxt(8) "J"
set SD.DesTxt(7) "102"
input point 80,0 prompt "Selecione local: "
click SD.DesInsertPVGenCmd
set SD.DesTxt(8) "F"
set SD.DesTxt(7) "101"
input point 120,0 prompt "Selecione local: "
click SD.DesInsertPVGenCmd
set SD.DesTxt(8) "C"
set SD.DesTxt(7) "103.5"
input point 80,40 prompt "Selecione local: "
click SD.DesInsertPVGenCmd
expect entities 5 0=INSERT 2=E-PVGEN

# The reaches, each from its upstream manhole to its downstream one.
choose SD.DesPavmtoCbo(0) "Asfalto"
choose SD.DesMatTuboCbo(1) "PVC"
input pick 0,1 prompt "Selecione PV 1: "
input pick 40,1 prompt "Selecione PV 2: "
click SD.DesInsertTRGenCmd
input pick 40,1 prompt "Selecione PV 1: "
input pick 80,1 prompt "Selecione PV 2: "
click SD.DesInsertTRGenCmd
input pick 80,1 prompt "Selecione PV 1: "
input pick 120,1 prompt "Selecione PV 2: "
click SD.DesInsertTRGenCmd
input pick 80,41 prompt "Selecione PV 1: "
input pick 81,0 prompt "Selecione PV 2: "
click SD.DesInsertTRGenCmd
expect entities 4 0=INSERT 2=E-TRCGEN

# The capture: no start carries a collector number yet.
click ESGOption1(1)
tab SD.SSTabBrivan 0
answer frmMsgBox
  expect text Titulo "Coletando Dados da Rede..."
  expect text Mensagem contains "Coletores com numeração duplicada, inexistente ou imprópria."
  expect text Mensagem contains "Refaça a numeração."
  click CmdOK
end
click SD.SANCaptureCmd
# PL at A and C, CR at J, FIM at F.
expect entities 4 0=INSERT 2=ErroC 8=0-Conferencia
expect attribute NUMERO at 120,0 FIM
expect enabled SD.SANCaptureCmd false
expect enabled SD.SANSaveDXFCmd false
expect enabled SD.SANNumereCmd true
expect text SD.SANColetorLbl "001"

# One press per collector, its start picked: a click on empty ground asks
# again, a click on the start's centre (under its marker's cross) takes it.
input point 20,20 prompt "Selecione PV de Montante:"
input point 0,0 prompt "Selecione PV de Montante:"
click SD.SANNumereCmd
expect attribute TRECHO at 20,0 001-001
expect attribute TRECHO at 60,0 001-002
expect attribute TRECHO at 100,0 001-003
expect attribute COLETOR at 0,0 001
expect text SD.SANColetorLbl "002"
expect enabled SD.SANSaveDXFCmd false
input point 80.7071,40.7071 prompt "Selecione PV de Montante:"
click SD.SANNumereCmd
expect attribute TRECHO at 80,20 002-001
expect attribute COLETOR at 80,40 002
expect enabled SD.SANNumereCmd false
expect enabled SD.SANSaveDXFCmd true

# The export: confirmed, the network captured and numbered again, the file
# chosen in the save dialog. The drawing never saved: the file is proposed
# under the drawing's own name, in the user's folder, where the dialog opens.
answer frmMsgBox
  expect text Titulo "Salvar DXF..."
  expect text Mensagem contains "Manter os números de coletores como estão."
  click CmdOK
end
dialog accept in ${home}
click SD.SANSaveDXFCmd
expect line ${home}/Drawing1.dxf "002-001"
expect line ${home}/Drawing1.dxf "3E9"

# Saved, the drawing has the dialog open beside it: the name typed alone goes there.
mkdir ${tmp}/obra
save ${tmp}/obra/rede.dwg
answer frmMsgBox
  click CmdOK
end
dialog save rede.dxf in ${tmp}/obra
click SD.SANSaveDXFCmd
expect file ${tmp}/obra/rede.dxf
expect attribute TRECHO at 20,0 001-001
expect attribute TRECHO at 100,0 001-003
expect attribute TRECHO at 80,20 002-001
expect attribute PV1 at 80,20 C
expect line ${tmp}/obra/rede.dxf "ENTITIES"
# Its handles go on from the first file's 14 entities.
expect line ${tmp}/obra/rede.dxf "3F7"
expect line ${tmp}/obra/rede.dxf "NUMEROTRE"
expect line ${tmp}/obra/rede.dxf "001-003"
expect line ${tmp}/obra/rede.dxf "002-001"
expect line ${tmp}/obra/rede.dxf "REDE"
expect line ${tmp}/obra/rede.dxf "PL"
expect line ${tmp}/obra/rede.dxf "103.500"
expect line ${tmp}/obra/rede.dxf "EOF"

# The drawing kept as "planta.dxf": its own file is not proposed for the
# export (the name field is empty, so the dialog only says the folder is a
# folder), and chosen, it is refused, naming it, and the name asked again;
# also through a link to its folder. The drawing on disk stays.
save ${tmp}/obra/planta.dxf
link ${tmp}/obra ${tmp}/atalho
answer frmMsgBox
  click CmdOK
end
dialog accept in ${tmp}/obra
dialog ok
dialog save planta.dxf
dialog yes
answer frmMsgBox
  expect text Mensagem "O arquivo ${tmp}/obra/planta.dxf é o desenho aberto e não pode ser substituído pela exportação.\r\n\r\nEscolha outro arquivo."
  click CmdOK
end
dialog save ${tmp}/atalho/planta.dxf
dialog yes
answer frmMsgBox
  expect text Mensagem "O arquivo ${tmp}/atalho/planta.dxf é o desenho aberto ${tmp}/obra/planta.dxf e não pode ser substituído pela exportação.\r\n\r\nEscolha outro arquivo."
  click CmdOK
end
dialog save brivan.dxf
click SD.SANSaveDXFCmd
expect line ${tmp}/obra/planta.dxf "E-PVGEN"
expect line ${tmp}/obra/brivan.dxf "NUMEROTRE"

# A new capture starts the export afresh: captured, numbered and exported
# again, the same network gives what the first export gave, its handles
# from 3E9 again.
tab SD.SSTabBrivan 1
tab SD.SSTabBrivan 0
click SD.SANCaptureCmd
expect enabled SD.SANSaveDXFCmd true
input point 0,0 prompt "Selecione PV de Montante:"
click SD.SANNumereCmd
input point 80.7071,40.7071 prompt "Selecione PV de Montante:"
click SD.SANNumereCmd
expect attribute TRECHO at 100,0 001-003
expect enabled SD.SANNumereCmd false
answer frmMsgBox
  expect text Mensagem contains "Manter os números de coletores como estão."
  click CmdOK
end
dialog save ${tmp}/obra/de-novo.dxf
click SD.SANSaveDXFCmd
expect line ${tmp}/obra/de-novo.dxf "3E9"
expect line ${tmp}/obra/de-novo.dxf "3F6"
expect line ${tmp}/obra/de-novo.dxf "002-001"
expect line ${home}/Drawing1.dxf "3F6"
