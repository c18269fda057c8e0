# The topography panel's sections: a polyline drawn through survey points,
# picked near its last vertex, its figures read, the section drawn from
# station 1234.5, then a window too low answered with the minimum height.

fixture section 5 ${data}/secao.dwg
start
open ${data}/secao.dwg
tab SSIniciar 4
tab TD.SSTopo 4
expect enabled TD.SECCmd(1) false

# Picked near (40,0): the section runs from S5 back to S1.
input pick 38,0 prompt "Selecione Polylinha: "
click TD.SECCmd(0)
expect text TD.SEClbl(0) "5"
expect text TD.SEClbl(1) "100.000"
expect text TD.SEClbl(2) "102.000"
expect text TD.SEClbl(3) "2.000"
expect text TD.SEClbl(4) "2.000"
expect text TD.SEClbl(5) "40.00"
expect enabled TD.SECCmd(1) true

# Drawn from station 1234.5: offset 4.5, the first station label 1230.
set TD.SECtxt(0) "1234.5"
input point 1000,0 prompt "Área para o quadro: "
input corner 1200,150 prompt "Segundo ponto: "
click TD.SECCmd(1)
expect entities 1 0=LWPOLYLINE 8=Perfil
expect string at 1000,51 "1230"
expect string at 1050,51 "1280"
expect string at 1004.5,44.25 "S5"
expect string at 1044.5,44.25 "S1"
expect string at 1004.5,24.75 "1234.50"
expect string at 1044.5,24.75 "1274.50"
expect string at 1004.5,7.5 "102.000"
expect string at 1000,82.25 "100"
# The next section goes on from where this one ended.
expect text TD.SECtxt(0) "1274.50"
expect visible TD.SECCmd(0) true
expect enabled TD.SECCmd(1) true

# A window too low: the minimum height, one segment per profile piece.
input point 2000,0 prompt "Área para o quadro: "
input corner 2100,10 prompt "Segundo ponto: "
answer frmMsgBox
  expect text Titulo "Desenhar a Seção Topográfica"
  expect text Mensagem "Altura muito pequena!!!\r\nUtilizar a altura mínima?"
  click CmdOK
end
click TD.SECCmd(1)
expect entities 6 0=LWPOLYLINE 8=Perfil
expect string at 2000,51 "1270"
expect string at 2044.5,24.75 "1314.50"
expect text TD.SECtxt(0) "1314.50"

# Picked near (0,0), from S1, in a frame 130 high at ratio 10: the last piece
# (S3 to S5) fits in the frame and is not cut again.
input pick 2,0 prompt "Selecione Polylinha: "
click TD.SECCmd(0)
input point 3000,0 prompt "Área para o quadro: "
input corner 3200,130 prompt "Segundo ponto: "
click TD.SECCmd(1)
expect entities 9 0=LWPOLYLINE 8=Perfil

click cmdEnd
expect ended
