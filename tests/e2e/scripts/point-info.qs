# A survey brought by the user: its points read in the sewer panel's point
# information, two in a row with nothing in between, and the format of the
# points as the drawing holds it.

fixture survey 20000 ${data}/levantamento.dwg
start
open ${data}/levantamento.dwg
expect entities 20000 0=POINT 8=PONTO
expect entities 20000 0=TEXT 8=PONTO_COTA
expect xdata at 10,0 "P2|100.500|"
expect xdata at 20,0 "P3|100.750|BORDO"
expect text at 20,5 "P3"
expect text at 20,3 "100.750"
expect text at 20,1 "BORDO"

tab SSIniciar 1
tab SD.SSDesenho 3
input pick 10,0 prompt "Selecione ponto: "
answer frmPointInfo
  expect text Mensagem contains "Nome: P2"
  expect text Mensagem contains "Cota: 100.500"
  click CmdOK
end
click SD.PointInfoCmd
input pick 20,0 prompt "Selecione ponto: "
answer frmPointInfo
  expect text Mensagem "Nome: P3\r\nN: 0.000\r\nE: 20.000\r\nCota: 100.750\r\nInfo: BORDO"
  click CmdOK
end
click SD.PointInfoCmd
expect entities 0 in paper
