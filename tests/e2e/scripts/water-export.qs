# The water export to the hydraulic-model database, as the engineer runs it:
# a small network drawn through the water panel (four DN 100 couplings along
# Y = 50 at X 20, 50, 80 and 150, three pipes between them), its nodes
# drawing built and numbered, the two zone hatches of one pattern of the
# zones drawing named by a "Zon_PorM" and a "Zon_Total" block, the output
# database chosen, then "Executar" with the four drawings. Runs that stop
# (a template that cannot be copied, a file that cannot go to the trash, a
# database that cannot be written, zones that leave the last node out) keep
# the first run's database as it was; a run that completes puts its database
# in place and the old one in the trash.
#
# The topography is the plane 100.25 + X/40 + Y/2 of 400 survey points (see
# README.md), so the node elevations are 125.75, 126.5, 127.25 and 129. The
# zone hatches are the squares 0..100 and 100..200; a hatch that names no
# zone, drawn after them over X 60..90, hides no part of zone Z1 (node 3,
# and 30 m of pipe).

fixture topography 400 ${tmp}/rede-TOP.dwg
fixture zonehatches 2 ${tmp}/rede-ZON.dwg
fixture zonehatches 1 ${tmp}/curta-ZON.dwg

# Started from its own folder, which holds its "IniFile.txt".
start in ${program}
new
tab SSIniciar 2
click AGUOption1(0)

# ---- the network
choose WC.Material "PVC PBA"
press WC.WATMenu 5
input point 20,50 prompt "Ponto de inserção: "
input angle 0
choose WC.WatDP "100"
input point 50,50
input angle 0
click WC.DesCmd
input point 80,50
input angle 0
click WC.DesCmd
input point 150,50
input angle 0
click WC.DesCmd
expect entities 4 0=INSERT 2=A-LUVA

input pick 20.9,50 prompt "Selecione Conexão ou Polyline:"
input pick 49.1,50 prompt "Selecione Conexão:"
answer frmWATTubo
  expect text Text1 "30"
  click CmdOK
end
click WC.TuboCmd
input pick 50.9,50
input pick 79.1,50
answer frmWATTubo
  click CmdOK
end
click WC.TuboCmd
input pick 80.9,50
input pick 149.1,50
answer frmWATTubo
  expect text Text1 "70"
  click CmdOK
end
click WC.TuboCmd
expect entities 3 0=INSERT 2=A-TUBO
save ${tmp}/rede-CAD.dwg

# ---- the nodes drawing: one circle per pipe end, numbered from the left
# (all at one height, in the order drawn)
click AGUOption1(2)
tab WC.SSLumbra 1
zoom 0,0 200,100
input crossing 0,0 200,100
input enter
click WC.NODLerDesenhoCmd
expect file ${tmp}/rede-CAD_NOD.dwg
expect entities 4 0=INSERT 2=ErroC 8=NODES
click WC.NODNumeraCmd
expect attribute MENSAGEM at 20,50 "1"
expect attribute MENSAGEM at 50,50 "2"
expect attribute MENSAGEM at 80,50 "3"
expect attribute MENSAGEM at 150,50 "4"
save ${tmp}/rede-CAD_NOD.dwg

# ---- the zones: one block in each hatch
open ${tmp}/rede-ZON.dwg
tab WC.SSLumbra 0
type WC.ZonTxt(0) "Z1"
type WC.ZonTxt(2) "0.5"
input point 50,80
click WC.ZonCmd(0)
set WC.ZonTxt(0) "Z2"
type WC.ZonTxt(1) "99"
input point 150,80
click WC.ZonCmd(1)
expect entities 2 0=INSERT
save ${tmp}/rede-ZON.dwg

# ---- the export: nothing runs before the output is chosen
tab WC.SSLumbra 2
expect enabled WC.ExpCmd true
answer frmMsgBox
  expect text Titulo "Atenção"
  expect text Mensagem "Nenhum arquivo selecionado"
  click CmdOK
end
click WC.ExpCmd

# The program's own catalogue is no output, nor an open drawing: refused,
# naming it, and asked again. The dialog opens beside the drawing shown.
dialog open ${program}/rereva2000r.mdb in ${tmp}
answer frmMsgBox
  expect text Mensagem contains "O arquivo ${program}/rereva2000r.mdb é o catálogo do programa"
  click CmdOK
end
dialog open ${tmp}/rede-CAD.dwg
answer frmMsgBox
  expect text Mensagem "O arquivo ${tmp}/rede-CAD.dwg é o desenho aberto e não pode ser substituído pelo banco de dados.\r\n\r\nEscolha outro arquivo."
  click CmdOK
end
dialog open ${tmp}/saida.mdb
click WC.ExpFileCmd
expect text WC.ExpFileTxt "saida.mdb"
expect nofile ${tmp}/saida.mdb

# A drawing not chosen ends the command before anything is done.
dialog open ${tmp}/rede-CAD.dwg
dialog cancel
answer frmMsgBox
  expect text Mensagem "Nenhum arquivo selecionado\r\n\r\nOperação cancelada."
  click CmdOK
end
click WC.ExpCmd
expect nofile ${tmp}/saida.mdb

# A drawing of the export not open yet is no output either: refused, naming
# it, once the drawings are chosen; nothing is done.
dialog open ${tmp}/rede-TOP.dwg
click WC.ExpFileCmd
dialog open ${tmp}/rede-CAD.dwg
dialog open ${tmp}/rede-TOP.dwg
dialog open ${tmp}/rede-ZON.dwg
dialog open ${tmp}/rede-CAD_NOD.dwg
answer frmMsgBox
  expect text Mensagem "O arquivo ${tmp}/rede-TOP.dwg é um dos desenhos da exportação e não pode ser substituído pelo banco de dados.\r\n\r\nOperação cancelada."
  click CmdOK
end
click WC.ExpCmd
expect enabled SSIniciar true
expect line ${tmp}/rede-TOP.dwg "PAVIMENTO"
expect nofile ${home}/.local/share/Trash
dialog open ${tmp}/saida.mdb
click WC.ExpFileCmd

# A file of the engineer's own under the name of the zones' hatch file.
write ${tmp}/rede-ZON.dxf "minhas hachuras"
dialog open ${tmp}/rede-CAD.dwg
dialog open ${tmp}/rede-TOP.dwg
dialog open ${tmp}/rede-ZON.dwg
dialog open ${tmp}/rede-CAD_NOD.dwg
click WC.ExpCmd
expect enabled SSIniciar true
expect content ${home}/.local/share/Trash/files/rede-ZON.dxf "minhas hachuras"

# The hatches went through DXF files of the program's own beside the
# drawings, removed once read back.
expect nofile ${tmp}/rede-ZON.dxf
expect nofile ${tmp}/rede-TOP.dxf

# Junctions: in label order, with their zone and ground elevation.
let db ${tmp}/saida.mdb
expect query ${db} "SELECT COUNT(*) FROM [Pressure Junction]" 4
expect query ${db} "SELECT group_concat(Label || ':' || Zone || ':' || ROUND(Elevation, 3), ' ') FROM [Pressure Junction]" "J-1:Z1:125.75 J-2:Z1:126.5 J-3:Z1:127.25 J-4:Z2:129.0"
expect query ${db} "SELECT Numero FROM [Pressure Junction] WHERE Label = 'J-4'" 4
expect query ${db} "SELECT X || ',' || Y FROM [Pressure Junction] WHERE Label = 'J-3'" "80.0,50.0"

# Pipes: from the lower node to the higher, the nominal length and the type code.
expect query ${db} "SELECT group_concat(Label || ':' || StartNode || '-' || StopNode || ':' || Comprimento, ' ') FROM [Pressure Pipe]" "P-0:J-1-J-2:30.0 P-1:J-2-J-3:30.0 P-2:J-3-J-4:70.0"
expect query ${db} "SELECT Diameter || ' ' || Material || ' ' || Etapa FROM [Pressure Pipe] WHERE Label = 'P-0'" "100 PBA15 0"

# Zones: the nodes and the pipe length in each, and its demand.
expect query ${db} "SELECT Tipo || ' ' || TotalNodes || ' ' || Contrib || ' ' || ContribM FROM Zonas WHERE Nome = 'Z1'" "VPM 3 0.5 0.5"
expect query ${db} "SELECT Tipo || ' ' || TotalNodes || ' ' || Contrib FROM Zonas WHERE Nome = 'Z2'" "VTZ 1 99.0"
expect query ${db} "SELECT ROUND(TotalTubos, 3) FROM Zonas WHERE Nome = 'Z1'" 80
expect query ${db} "SELECT ROUND(TotalTubos, 3) FROM Zonas WHERE Nome = 'Z2'" 50
expect query ${db} "SELECT ROUND(ContribT, 3) FROM Zonas WHERE Nome = 'Z2'" 99
# Every zone's demand reaches the nodes.
expect query ${db} "SELECT ROUND(SUM(Demand), 3) FROM [Pressure Junction]" 139
expect query ${db} "SELECT ROUND(SUM(Demand), 3) FROM [Pressure Pipe]" 139
expect query ${db} "SELECT COUNT(*) FROM tmp_TUBOS" 0

# The main window's tabs answer again.
tab SSIniciar 0
tab SSIniciar 2

# ---- the first run's database stays while the new one cannot take its
# place: a template that cannot be copied, a hatch file that the trash cannot
# take, then the database itself that it cannot take, a template that is no
# database.
remove ${program}/Lumbra.mdb
dialog open ${tmp}/rede-CAD.dwg
dialog open ${tmp}/rede-TOP.dwg
dialog open ${tmp}/rede-ZON.dwg
dialog open ${tmp}/rede-CAD_NOD.dwg
answer frmMsgBox
  expect text Mensagem contains "Erro. Arquivo não copiado!\r\n\r\nNão foi possível copiar '${program}/Lumbra.mdb'"
  click CmdOK
end
click WC.ExpCmd
expect query ${db} "SELECT COUNT(*) FROM [Pressure Junction]" 4
copy ${bin}/Lumbra.mdb ${program}
remove ${home}/.local/share/Trash
write ${home}/.local/share/Trash "no trash"
write ${tmp}/rede-ZON.dxf "minhas hachuras"
dialog open ${tmp}/rede-CAD.dwg
dialog open ${tmp}/rede-TOP.dwg
dialog open ${tmp}/rede-ZON.dwg
dialog open ${tmp}/rede-CAD_NOD.dwg
answer frmMsgBox
  expect text Mensagem contains "Não foi possível enviar à lixeira o arquivo ${tmp}/rede-ZON.dxf, e ele continua como estava. As hachuras não foram exportadas.\r\n"
  click CmdOK
end
click WC.ExpCmd
expect query ${db} "SELECT COUNT(*) FROM [Pressure Junction]" 4
remove ${tmp}/rede-ZON.dxf
dialog open ${tmp}/rede-CAD.dwg
dialog open ${tmp}/rede-TOP.dwg
dialog open ${tmp}/rede-ZON.dwg
dialog open ${tmp}/rede-CAD_NOD.dwg
answer frmMsgBox
  expect text Mensagem contains "Erro. Arquivo não copiado!\r\n\r\nNão foi possível enviar '${tmp}/saida.mdb' à lixeira, e ele continua como estava."
  click CmdOK
end
click WC.ExpCmd
remove ${home}/.local/share/Trash
expect query ${db} "SELECT COUNT(*) FROM [Pressure Junction]" 4
expect file ${program}/rereva2000r.mdb
write ${program}/Lumbra.mdb "estragado"
dialog open ${tmp}/rede-CAD.dwg
dialog open ${tmp}/rede-TOP.dwg
dialog open ${tmp}/rede-ZON.dwg
dialog open ${tmp}/rede-CAD_NOD.dwg
answer frmMsgBox
  expect text Mensagem contains "Erro no banco de dados ${tmp}/saida.mdb:"
  click CmdOK
end
click WC.ExpCmd
expect query ${db} "SELECT COUNT(*) FROM [Pressure Junction]" 4
copy ${bin}/Lumbra.mdb ${program}

# ---- a run whose zones leave node 4 out: one circle, two messages, no
# row written; the first run's database stays as it was.
open ${tmp}/curta-ZON.dwg
tab WC.SSLumbra 0
set WC.ZonTxt(0) "Z1"
input point 50,80
click WC.ZonCmd(0)
save ${tmp}/curta-ZON.dwg
tab WC.SSLumbra 2

dialog open ${tmp}/rede-CAD.dwg
dialog open ${tmp}/rede-TOP.dwg
dialog open ${tmp}/curta-ZON.dwg
dialog open ${tmp}/rede-CAD_NOD.dwg
answer frmMsgBox
  expect text Titulo "Atenção"
  expect text Mensagem "NODE fora de Zona"
  click CmdOK
end
answer frmMsgBox
  expect text Titulo "Atenção"
  expect text Mensagem "NODEs fora de Zona\r\n\r\nOperação cancelada."
  click CmdOK
end
click WC.ExpCmd
expect enabled SSIniciar true
expect entities 1 0=CIRCLE
expect query ${db} "SELECT COUNT(*) FROM [Pressure Junction]" 4
expect query ${db} "SELECT COUNT(*) FROM [Pressure Pipe]" 3
expect nofile ${home}/.local/share/Trash/files/saida.mdb

# ---- a run that completes: its database in place, the old one in the trash.
remove ${tmp}/saida.mdb
copy ${bin}/Lumbra.mdb ${tmp}/saida.mdb
dialog open ${tmp}/rede-CAD.dwg
dialog open ${tmp}/rede-TOP.dwg
dialog open ${tmp}/rede-ZON.dwg
dialog open ${tmp}/rede-CAD_NOD.dwg
click WC.ExpCmd
expect query ${db} "SELECT COUNT(*) FROM [Pressure Junction]" 4
expect query ${home}/.local/share/Trash/files/saida.mdb "SELECT COUNT(*) FROM [Pressure Junction]" 0
# The earlier runs left no hatch file of theirs to go to the trash.
expect nofile ${home}/.local/share/Trash/files/rede-TOP.dxf
expect nofile ${tmp}/rede-TOP.dxf
let juncoes "J-1:Z1:125.75 J-2:Z1:126.5 J-3:Z1:127.25 J-4:Z2:129.0"
let elevacoes "SELECT group_concat(Label || ':' || Zone || ':' || ROUND(Elevation, 3), ' ') FROM [Pressure Junction]"

# ---- the export reads and writes only the files chosen, whatever their names.
# An open drawing reached through a link to its folder is still that drawing.
link ${tmp} ${tmp}/atalho
dialog open ${tmp}/atalho/rede-CAD.dwg
answer frmMsgBox
  expect text Mensagem "O arquivo ${tmp}/atalho/rede-CAD.dwg é o desenho aberto ${tmp}/rede-CAD.dwg e não pode ser substituído pelo banco de dados.\r\n\r\nEscolha outro arquivo."
  click CmdOK
end
dialog open ${tmp}/saida.mdb
click WC.ExpFileCmd
expect line ${tmp}/rede-CAD.dwg "A-TUBO"

# Zones "bairro.dwg", topography "bairro.dxf": the zones' hatch file would
# take the topography's place. Refused before anything is done.
copy ${tmp}/rede-ZON.dwg ${tmp}/bairro.dwg
copy ${tmp}/rede-TOP.dwg ${tmp}/bairro.dxf
dialog open ${tmp}/rede-CAD.dwg
dialog open ${tmp}/bairro.dxf
dialog open ${tmp}/bairro.dwg
dialog open ${tmp}/rede-CAD_NOD.dwg
answer frmMsgBox
  expect text Mensagem "As hachuras de ${tmp}/bairro.dwg seriam exportadas para o arquivo ${tmp}/bairro.dxf escolhido para esta exportação. O arquivo continua como estava e as hachuras não foram exportadas.\r\n\r\nOperação cancelada."
  click CmdOK
end
click WC.ExpCmd
expect enabled SSIniciar true
expect line ${tmp}/bairro.dxf "PONTO"
expect nofile ${home}/.local/share/Trash/files/bairro.dxf
expect query ${db} ${elevacoes} ${juncoes}

# Zones "zonas2.dwg", the output "zonas2.dxf": the zones' hatch file would
# take the output's place. Refused before anything is done.
copy ${tmp}/rede-ZON.dwg ${tmp}/zonas2.dwg
write ${tmp}/zonas2.dxf "saída anterior"
dialog open ${tmp}/zonas2.dxf
click WC.ExpFileCmd
dialog open ${tmp}/rede-CAD.dwg
dialog open ${tmp}/rede-TOP.dwg
dialog open ${tmp}/zonas2.dwg
dialog open ${tmp}/rede-CAD_NOD.dwg
answer frmMsgBox
  expect text Mensagem "As hachuras de ${tmp}/zonas2.dwg seriam exportadas para o arquivo ${tmp}/zonas2.dxf escolhido para esta exportação. O arquivo continua como estava e as hachuras não foram exportadas.\r\n\r\nOperação cancelada."
  click CmdOK
end
click WC.ExpCmd
expect content ${tmp}/zonas2.dxf "saída anterior"
dialog open ${tmp}/saida.mdb
click WC.ExpFileCmd

# The network kept as "t3.dxf", the topography "t3.dwg": the pavements'
# hatch file would take the network's place. Refused before anything is
# done: the engineer's file under the zones' hatch name stays where it is.
copy ${tmp}/rede-CAD.dwg ${tmp}/t3.dxf
copy ${tmp}/rede-TOP.dwg ${tmp}/t3.dwg
write ${tmp}/rede-ZON.dxf "minhas hachuras"
dialog open ${tmp}/t3.dxf
dialog open ${tmp}/t3.dwg
dialog open ${tmp}/rede-ZON.dwg
dialog open ${tmp}/rede-CAD_NOD.dwg
answer frmMsgBox
  expect text Mensagem "As hachuras de ${tmp}/t3.dwg seriam exportadas para o arquivo ${tmp}/t3.dxf escolhido para esta exportação. O arquivo continua como estava e as hachuras não foram exportadas.\r\n\r\nOperação cancelada."
  click CmdOK
end
click WC.ExpCmd
expect content ${tmp}/rede-ZON.dxf "minhas hachuras"
remove ${tmp}/rede-ZON.dxf

# Zones kept as DXF, chosen through a link "zonas-ZON.dwg": their hatches go
# through a file of the program's own, the drawing stays.
copy ${tmp}/rede-ZON.dwg ${tmp}/zonas-ZON.dxf
link ${tmp}/zonas-ZON.dxf ${tmp}/zonas-ZON.dwg
dialog open ${tmp}/rede-CAD.dwg
dialog open ${tmp}/rede-TOP.dwg
dialog open ${tmp}/zonas-ZON.dwg
dialog open ${tmp}/rede-CAD_NOD.dwg
click WC.ExpCmd
expect nofile ${home}/.local/share/Trash/files/zonas-ZON.dxf
expect line ${tmp}/zonas-ZON.dxf "INSERT"
expect query ${db} ${elevacoes} ${juncoes}

# A topography named without an extension, "sub/top": its hatch file is
# "sub/top.dxf" (a file there is sent to the trash), and the engineer's
# "sub.dxf" beside the folder stays.
mkdir ${tmp}/sub
copy ${tmp}/rede-TOP.dwg ${tmp}/sub/top
write ${tmp}/sub.dxf "meu arquivo"
write ${tmp}/sub/top.dxf "antigo"
dialog open ${tmp}/rede-CAD.dwg
dialog open ${tmp}/sub/top
dialog open ${tmp}/rede-ZON.dwg
dialog open ${tmp}/rede-CAD_NOD.dwg
click WC.ExpCmd
expect nofile ${home}/.local/share/Trash/files/sub.dxf
expect content ${tmp}/sub.dxf "meu arquivo"
expect content ${home}/.local/share/Trash/files/top.dxf "antigo"
expect nofile ${tmp}/sub/top.dxf
expect query ${db} ${elevacoes} ${juncoes}

# "REDE-ZON.dwg" open is another file than the "rede-ZON.dwg" chosen.
fixture zonehatches 2 ${tmp}/REDE-ZON.dwg
open ${tmp}/REDE-ZON.dwg
dialog open ${tmp}/rede-CAD.dwg
dialog open ${tmp}/rede-TOP.dwg
dialog open ${tmp}/rede-ZON.dwg
dialog open ${tmp}/rede-CAD_NOD.dwg
click WC.ExpCmd
expect query ${db} ${elevacoes} ${juncoes}

# A topography that is no drawing: the export stops there, naming it with
# the host's reason, and the database stays as it was.
write ${tmp}/ruim-TOP.dwg "isto não é um desenho\n"
dialog open ${tmp}/rede-CAD.dwg
dialog open ${tmp}/ruim-TOP.dwg
dialog open ${tmp}/rede-ZON.dwg
dialog open ${tmp}/rede-CAD_NOD.dwg
answer frmMsgBox
  expect text Mensagem contains "Não foi possível abrir o desenho ${tmp}/ruim-TOP.dwg:\r"
  click CmdOK
end
click WC.ExpCmd
expect enabled SSIniciar true
expect query ${db} ${elevacoes} ${juncoes}

# A network named without an extension, "sub/cad": its nodes drawing is
# "sub/cad_NOD.dwg", and the engineer's "sub_NOD.dwg" stays.
write ${tmp}/sub_NOD.dwg "meu desenho"
open ${tmp}/rede-CAD.dwg
save ${tmp}/sub/cad
tab WC.SSLumbra 1
zoom 0,0 200,100
input crossing 0,0 200,100
input enter
click WC.NODLerDesenhoCmd
expect file ${tmp}/sub/cad_NOD.dwg
expect content ${tmp}/sub_NOD.dwg "meu desenho"

click cmdEnd
expect ended
