# Map sheets from the topography panel's "Margens" tab: a grid of sheets at
# 1:500 over limits picked in the drawing, one more sheet at 1:1000 at a
# picked point, all numbered again in reading order, then the UTM grid drawn
# inside every sheet.

fixture scatter 400 ${data}/area.dwg
start
open ${data}/area.dwg
tab SSIniciar 4
tab TD.SSTopo 1
expect tooltip TD.InsQuaCmd "Insere bloco Quadrícula"

# "Inserir Quadrícula" over the limits 0,0 - 1000,1000: 2 x 4 sheets of
# 393 x 249.5, centred, from the top-left corner 107,999.
answer frmMARQua
  expect text Titulo "Bloco Quadrícula"
  expect text Frame1(0) "Dimensões da Viewport no papel :"
  expect text Text1(0) "786"
  expect text Text1(1) "499"
  expect text Combo1 "1000"
  expect enabled LimitesCmd false
  choose Combo1 "500"
  click Check1
  expect enabled LimitesCmd true
  click LimitesCmd
  click cmdOK
end
input point 0,0 prompt "Selecione limites: "
input corner 1000,1000 prompt "Segundo ponto: "
click TD.InsQuaCmd
expect entities 8 0=INSERT 2=QUADRICULA2 8=NUM_QUADRICULA
expect attribute NUMERO at 107,999 "1"
expect attribute NUMERO at 500,999 "2"
expect attribute NUMERO at 107,749.5 "3"
expect attribute NUMERO at 500,250.5 "8"
expect windowstate Form1 0

# One sheet at 1:1000 north-west of the grid, from the default viewport.
answer frmMARQua
  expect value Check1 0
  click cmdOK
end
input point -900,1500 prompt "Ponto de inserção: "
click TD.InsQuaCmd
expect entities 9 0=INSERT 2=QUADRICULA2

# "Numerar as Quadrículas": the new sheet comes first, the grid after it.
click TD.NumQuadCmd
expect attribute NUMERO at -900,1500 "1"
expect attribute NUMERO at 107,999 "2"
expect attribute NUMERO at 500,999 "3"
expect attribute NUMERO at 107,749.5 "4"
expect attribute NUMERO at 500,250.5 "9"

# "Inserir Grades UTM" every 250 with labels at 1:500.
answer frmMARExe
  expect text Label1 "Grade UTM"
  expect text UTMCbo "100"
  expect text UTMEscCbo "1000"
  choose UTMCbo "250"
  set UTMEscCbo "500"
  click CmdOK
end
# The sheet buttons pressed again while the grid yields start nothing.
when frmCancelar
  expect text Label2 "Inserindo Grade UTM..."
  click Form1.TD.InsQuaCmd
  click Form1.TD.NumQuadCmd
  click Form1.TD.InsUTMCmd
end
click TD.InsUTMCmd
# The second row's top edge is 749.5: its sheets get no line at 750, which
# lies outside them (only the first row draws it).
expect entities 29 0=LINE 8=UTM
expect entities 29 0=INSERT 2=TOP_UTM 8=UTM
expect attribute UTM at 250,999 "E = 250 "
expect attribute UTM at -750,1500 "E = -750 "
expect attribute UTM at -114,1250 "N = 1250 "
expect attribute UTM at 893,500 "N = 500 "

# A drawing whose sheets lie in an attached reference: the UTM grid and the
# numbering work on the drawing's own sheets, and find none.
fixture sheetsxref 4 ${data}/ref.dwg
open ${data}/ref.dwg
expect entities 1 0=INSERT 2=FOLHAS
answer frmMARExe CmdOK
click TD.InsUTMCmd
expect entities 0 0=LINE 8=UTM
answer frmMsgBox
  expect text Mensagem contains "Bloco Quadricula2 não encontrado."
  click CmdOK
end
click TD.NumQuadCmd

# ---- Sheet layouts and files: seven sheets of 786 x 499, four to a row, and
# the template layout "Modelo" with its viewport, the title block "SELO" and
# the key map "INDICE" (3 x 3).
fixture sheets 7 ${tmp}/folhas/Mapa-ABC.dwg
open ${tmp}/folhas/Mapa-ABC.dwg
tab SSIniciar 4
tab TD.SSTopo 1

# "Em Layouts", three to a file: the layouts are made from the last sheet
# back, each full file saved, and the last two layouts deleted after it.
input pick 286,16 prompt "Selecione ATRIBUTO do Selo a editar:"
input pick 300,60 prompt "Selecione INDICE do Selo:"
answer frmMARExe
  expect text Label1 "Gerar Layouts"
  expect text MARtxt(0) "Mapa-ABC"
  expect text MARtxt(4) "ABC"
  expect text MarCbo "Folha #"
  expect text NLayCbo "Não limitar"
  choose NLayCbo "3"
  set MarCbo "Folha ##"
  click CmdOK
end
click TD.MarArqs(1)
expect file "${tmp}/folhas/Mapa-ABCFolha 01.dwg"
expect file "${tmp}/folhas/Mapa-ABCFolha 02.dwg"
expect file "${tmp}/folhas/Mapa-ABCFolha 03.dwg"
expect nofile "${tmp}/folhas/Mapa-ABCFolha 04.dwg"
expect windowstate Form1 0
# The open drawing is the last file, with the seventh layout: sheet 1, whose
# key map shows sheet 2 to the east and sheet 5 to the south.
expect layout Modelo
expect layout ABC-0010
expect nolayout ABC-0020
expect attribute NUMERO at 280,10 in ABC-0010 "Mapa-ABC-0010"
expect attribute XL2C2 at 280,60 in ABC-0010 "1"
expect attribute XL2C3 at 280,60 in ABC-0010 "2"
expect attribute XL3C2 at 280,60 in ABC-0010 "5"
expect attribute XL2C1 at 280,60 in ABC-0010 ""
expect attribute XL1C2 at 280,60 in ABC-0010 ""
# The first file: the template and sheets 7, 6 and 5. Sheet 6 (row 2,
# column 2) has sheets 1, 2, 3 above it and 5, 7 beside it.
open "${tmp}/folhas/Mapa-ABCFolha 01.dwg"
expect layout Modelo
expect layout ABC-0070
expect layout ABC-0060
expect layout ABC-0050
expect nolayout ABC-0040
expect attribute NUMERO at 280,10 in ABC-0060 "Mapa-ABC-0060"
expect attribute XL1C1 at 280,60 in ABC-0060 "1"
expect attribute XL1C2 at 280,60 in ABC-0060 "2"
expect attribute XL1C3 at 280,60 in ABC-0060 "3"
expect attribute XL2C1 at 280,60 in ABC-0060 "5"
expect attribute XL2C2 at 280,60 in ABC-0060 "6"
expect attribute XL2C3 at 280,60 in ABC-0060 "7"
expect attribute XL3C2 at 280,60 in ABC-0060 ""
open "${tmp}/folhas/Mapa-ABCFolha 02.dwg"
expect layout ABC-0040
expect layout ABC-0020
expect nolayout ABC-0050
expect nolayout ABC-0010
expect attribute NUMERO at 280,10 in ABC-0040 "Mapa-ABC-0040"

# "Em Arquivos individuais", without a key map: one file per sheet, named
# after its title and the padded pattern; the last one stays open.
fixture sheets 3 ${tmp}/arquivos/Mapa-ABC.dwg
open ${tmp}/arquivos/Mapa-ABC.dwg
input pick 286,16 prompt "Selecione ATRIBUTO do Selo a editar:"
input escape prompt "Selecione INDICE do Selo:"
answer frmMARExe
  expect text Label1 "Gerar Arquivos"
  expect visible NLayCbo false
  expect visible MARtxt(4) false
  set MARtxt(0) "Rede"
  set MARtxt(1) " B "
  set MarCbo "Folha ##"
  click CmdOK
end
click TD.MarArqs(0)
expect file "${tmp}/arquivos/Rede-0010- B  - Folha 01.dwg"
expect file "${tmp}/arquivos/Rede-0020- B  - Folha 02.dwg"
expect file "${tmp}/arquivos/Rede-0030- B  - Folha 03.dwg"
expect attribute NUMERO at 280,10 in Modelo "Rede-0030-B"
expect nolayout Rede-0030

# Run again into the same folder, from the last file, which stayed open:
# every file is written again, each one it replaces sent to the trash first
# (the second given other contents, to tell it from the new one).
write "${tmp}/arquivos/Rede-0020- B  - Folha 02.dwg" "antiga"
input pick 286,16
input escape
answer frmMARExe
  set MARtxt(0) "Rede"
  set MARtxt(1) " B "
  set MarCbo "Folha ##"
  click CmdOK
end
click TD.MarArqs(0)
expect content "${home}/.local/share/Trash/files/Rede-0020- B  - Folha 02.dwg" "antiga"
expect file "${home}/.local/share/Trash/files/Rede-0010- B  - Folha 01.dwg"
expect file "${home}/.local/share/Trash/files/Rede-0030- B  - Folha 03.dwg"

# Two sheets of one run that would write one file (a step of 0 and a pattern
# without "#"): refused before anything is written or sent to the trash.
input pick 286,16
input escape
answer frmMARExe
  set MARtxt(0) "Rede"
  set MARtxt(1) " B "
  set MARtxt(3) "0"
  set MarCbo "Folha"
  click CmdOK
end
answer frmMsgBox
  expect text Mensagem "Duas folhas seriam gravadas no mesmo arquivo: \"${tmp}/arquivos/Rede-0010- B  - Folha.dwg\"\r\n\r\nOperação cancelada."
  click CmdOK
end
click TD.MarArqs(0)
expect nofile "${tmp}/arquivos/Rede-0010- B  - Folha.dwg"
expect nofile "${home}/.local/share/Trash/files/Rede-0020- B  - Folha 02.2.dwg"

# "Modo Preview": the first sheet shown, "Sim", the second, "Não": the walk
# ends there and the main window comes back.
input pick 286,16
input escape
answer frmMARExe
  expect text Label1 "Gerar Layouts"
  expect text MARtxt(4) ""
  set MARtxt(0) "P"
  click CmdOK
end
answer frmMsgBox
  expect text Titulo "Margens: Modo Preview"
  expect text Mensagem contains "Continuar?"
  click CmdOK
end
answer frmMsgBox
  expect text Titulo "Margens: Modo Preview"
  click CmdCancel
end
click TD.MarArqs(2)
expect windowstate Form1 0
expect attribute NUMERO at 280,10 in Modelo "P-0020"
expect nolayout P-0010

# Escape at the title block's attribute, the way out of a drawing without
# one: the drawing is left in model space, where it was, so the next sheet
# is sized from the panel and not from the template's viewport.
input escape prompt "Selecione ATRIBUTO do Selo a editar:"
click TD.MarArqs(2)
answer frmMARQua
  expect text Text1(0) "786"
  click CancelCmd
end
click TD.InsQuaCmd

# The file written again in place of the one sent to the trash is the sheet.
open "${tmp}/arquivos/Rede-0020- B  - Folha 02.dwg"
expect attribute NUMERO at 280,10 in Modelo "Rede-0020-B"

click cmdEnd
expect ended
