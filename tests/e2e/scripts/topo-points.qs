# The topography panel's survey points: one inserted through its dialog and a
# pick in the drawing, then a file of points imported, one of its lines bad.

start
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

click cmdEnd
expect ended
