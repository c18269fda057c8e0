# Map sheets: their layouts and files from the topography panel.

start

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

# Run again: the first file exists already, so nothing is written.
input pick 286,16
input escape
answer frmMARExe
  set MARtxt(0) "Rede"
  set MARtxt(1) " B "
  set MarCbo "Folha ##"
  click CmdOK
end
answer frmMsgBox
  expect text Mensagem contains "Rede-0010- B  - Folha 01.dwg\" já existe."
  click CmdOK
end
click TD.MarArqs(0)
expect nofile "${tmp}/arquivos/Rede-0030 - Folha 01.dwg"

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
