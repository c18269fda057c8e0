# The topography panel's survey points: one inserted through its dialog and a
# pick in the drawing, then a file of points imported, one of its lines bad.

# Started from its own folder, which holds its "IniFile.txt".
start in ${program}
new
tab SSIniciar 4
tab TD.SSTopo 3
hover TD.PtoMenu
expect count TD.SSTopo 6

# "Inserir Ponto": the elevation typed with a comma reads with a point.
answer frmInsPoint
  expect text Titulo "Inserir Ponto"
  type Text1(0) "P100"
  type Text1(1) "12,5"
  expect text Text1(1) "12.5"
  type Text1(2) "MARCO"
  click cmdOK
end
input point 50,60 prompt "Ponto de inserção: "
press TD.PtoMenu 2
expect entities 1 0=POINT 8=PONTO
expect xdata at 50,60 "P100|12.5|MARCO"
expect string at 50,65 "P100"
expect string at 50,63 "12.5"
expect string at 50,61 "MARCO"

# A file the user brings: TAB-separated, CR LF, a short third line and a
# blank one; X with a decimal comma, an elevation kept as written.
write ${data}/pontos.txt "A1\t10.5\t20,25\t3,5\tBORDO\r\nA2\t30,5\t40\t4.25\t\textra\r\nA3\t7\r\n\r\nA4\t100\t200\t812.35\tBL\r\n"
dialog open ${data}/pontos.txt
answer frmMsgBox
  expect text Titulo "Inserir Pontos"
  expect text Mensagem "Foram inseridos 3 pontos.\rLinhas não importadas: 3"
  click CmdOK
end
press TD.PtoMenu 7
expect entities 4 0=POINT 8=PONTO
expect entities 4 0=TEXT 8=PONTO_COTA
expect xdata at 10.5,20.25 "A1|3,5|BORDO"
expect xdata at 30.5,40 "A2|4.25|"
expect xdata at 100,200 "A4|812.35|BL"
expect string at 10.5,25.25 "A1"
expect string at 10.5,23.25 "3,5"
expect string at 100,201 "BL"
expect text TD.lblPtos "Importar Pontos de arquivo Texto"

# The point information reads an imported point.
input pick 100,200 prompt "Selecione ponto: "
answer frmPointInfo
  expect text Mensagem "Nome: A4\r\nN: 200.000\r\nE: 100.000\r\nCota: 812.35\r\nInfo: BL"
  click CmdOK
end
press TD.PtoMenu 1

# The tools of the points drawn: everything in view for the selections.
zoom extents

# Elevations down 1.5 on the points, and on the numeric texts of two layers.
answer frmTOPPts
  type Text1 "-1,5"
  choose List1 "PONTO_COTA"
  choose List1 "PONTO_TEXTO"
  click CmdOK
end
input crossing -10,-10 300,300
input enter
answer frmMsgBox
  expect text Titulo "Muda Cotas"
  expect text Mensagem "Foram modificados 4 pontos e 4 textos."
  click CmdOK
end
press TD.PtoMenu 5
expect xdata at 50,60 "P100|11.000|MARCO"
expect xdata at 10.5,20.25 "A1|2.000|BORDO"
expect xdata at 100,200 "A4|810.850|BL"
expect string at 100,203 "810.850"
expect string at 100,205 "A4"

# The texts redrawn from the points' data: one set each.
expect string at 50,63 "11.000"
input crossing -10,-10 300,300
input enter
answer frmMsgBox
  expect text Titulo "Refazer Textos dos Pontos"
  expect text Mensagem "Concluido"
  click CmdOK
end
press TD.PtoMenu 8
expect entities 4 0=TEXT 8=PONTO_COTA
expect entities 4 0=TEXT 8=PONTO_TEXTO
expect string at 50,63 "11.000"

# A4 imported again: found twice by its name, then the duplicate removed.
# The drawing never saved, the dialog opens in the user's documents, where
# the name typed alone is read.
write ${home}/Documentos/pontos2.txt "A4\t100\t200\t810.850\tBL\r\n"
dialog open pontos2.txt in ${home}/Documentos
answer frmMsgBox
  expect text Mensagem "Foram inseridos 1 pontos."
  click CmdOK
end
press TD.PtoMenu 7
expect entities 5 0=POINT 8=PONTO
answer frmInput
  type Text1 "A4"
  click CmdOK
end
answer frmMsgBox
  expect text Titulo "Localizar Pontos"
  expect text Mensagem "Ponto numero: A4\r\n1 de 2. Próximo?"
  expect windowstate Form1 1
  click CmdCancel
end
press TD.PtoMenu 6
expect windowstate Form1 0
zoom extents
input crossing -10,-10 300,300
input enter
answer frmMsgBox
  expect text Titulo "Remover Pontos Duplicados"
  expect text Mensagem "Removidos 1 pontos."
  click CmdOK
end
press TD.PtoMenu 9
expect entities 4 0=POINT 8=PONTO
expect xdata at 100,200 "A4|810.850|BL"

# A drawing whose erased points left their applications, and one bare point.
fixture erased 30 ${data}/restos.dwg
open ${data}/restos.dwg
zoom extents
answer frmMsgBox
  expect text Titulo "Pontos sem XData"
  click CmdOK
end
input crossing -50,-50 400,50
input enter
answer frmMsgBox
  expect text Mensagem "Dos 2 pontos do desenho foram\r\nlocalizados 1 pontos sem Xdata"
  click CmdOK
end
press TD.PtoMenu 3
expect entities 1 0=POINT 8=NO_XDATA
expect entities 1 0=POINT 8=PONTO

# The purge, cancelled at once from its window, then run to the end.
answer frmTips cmdOK
when frmCancelar
  expect text Label2 "Purgando XData não utilizado..."
  click CmdCancel
end
answer frmMsgBox
  expect text Mensagem "Foram eliminados 0 Registros Extend Data não utilizados"
  click CmdOK
end
press TD.PtoMenu 4
answer frmTips cmdOK
answer frmMsgBox
  expect text Mensagem "Foram eliminados 30 Registros Extend Data não utilizados"
  click CmdOK
end
press TD.PtoMenu 4
expect xdata at 0,0 "P1|100.000|"

# A file a spreadsheet saved as "Unicode text" (UTF-16 with its mark), then
# the point information on one of its points.
new
copy ${scripts}/topo-points-unicode.txt ${data}/unicode.txt
dialog open ${data}/unicode.txt
answer frmMsgBox
  expect text Titulo "Inserir Pontos"
  expect text Mensagem "Foram inseridos 2 pontos."
  click CmdOK
end
press TD.PtoMenu 7
expect entities 2 0=POINT 8=PONTO
expect xdata at 300,400 "Pé1|801,5|Praça"
expect xdata at 310.5,400 "Pé2|802.25|"
expect string at 300,401 "Praça"
input pick 300,400 prompt "Selecione ponto: "
answer frmPointInfo
  expect text Mensagem "Nome: Pé1\r\nN: 400.000\r\nE: 300.000\r\nCota: 801,5\r\nInfo: Praça"
  click CmdOK
end
press TD.PtoMenu 1

# A file that starts with a UTF-8 mark, yet holds a Western byte further on:
# the mark is no part of the first name.
copy ${scripts}/topo-points-bom.txt ${data}/marca.txt
dialog open ${data}/marca.txt
answer frmMsgBox
  expect text Mensagem "Foram inseridos 2 pontos."
  click CmdOK
end
press TD.PtoMenu 7
expect entities 4 0=POINT 8=PONTO
expect xdata at 1000,2000 "B1|3,5|São"
expect string at 1000,2005 "B1"

# Files of an old DOS program: an end mark (1Ah) after the last line, or NUL
# padding up to a block: neither is a line.
copy ${scripts}/topo-points-dos.txt ${data}/dos.txt
dialog open ${data}/dos.txt
answer frmMsgBox
  expect text Mensagem "Foram inseridos 2 pontos."
  click CmdOK
end
press TD.PtoMenu 7
copy ${scripts}/topo-points-nul.txt ${data}/nulos.txt
dialog open ${data}/nulos.txt
answer frmMsgBox
  expect text Mensagem "Foram inseridos 2 pontos."
  click CmdOK
end
press TD.PtoMenu 7
expect entities 8 0=POINT 8=PONTO
expect xdata at 2010,3000 "C2|6|"
expect xdata at 2010,3100 "D2|8|FIM"

click cmdEnd
expect ended
