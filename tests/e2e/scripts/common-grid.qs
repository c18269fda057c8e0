# The parcel grid of the common tools panel: a city block's outline drawn in
# pieces is joined, a grid run along it from its corner, a parcel captured
# from the tick at 120, the run taken back, run again and erased; then a
# curved outline made a perimeter and gridded along its half circle; last, an
# open outline of another drawing gridded to its end.

fixture grid 7 ${data}/quadra.dwg
start
open ${data}/quadra.dwg
tab SSIniciar 3
tab CM.SSTab1 1
expect enabled CM.GRUndo false
expect entities 7 0=LWPOLYLINE 8=GRADE_10_LINHA

# "Poly Join": the seven pieces become the one picked, in the swatch's colour.
set CM.GRScr 3
input pick 50,0 prompt "Selecione Pline: "
click CM.GRJoinCmd
expect entities 1 0=LWPOLYLINE 8=GRADE_10_LINHA

# "Executa" from the corner at the origin, the side point outside: 600 units
# round give the ticks 10 to 590 and the arrow, on the sector's layer.
input point 0,0 prompt "Inicial:"
input point 5,-5 prompt "Lado:"
click CM.GRExecCmd
expect entities 59 0=INSERT 2=COM_GRADE 8=SETOR_7
expect entities 1 0=INSERT 2=COM_SETA 8=SETOR_7
expect entities 0 0=LWPOLYLINE 8=GRADE_10_LINHA
expect attribute LOTE at 100,0 "100"
expect attribute QUADRA at 100,0 "12"
expect attribute LOTE at 200,10 "210"
expect xdata at 120,0 "7-12|120"
expect xdata at 0,0 "7-12|0"
expect xdata at 0,10 "7-12|590"
expect text CM.QuadraTxt "12"
expect enabled CM.GRUndo true

# The parcel captured from the tick at 120.
tab CM.SSTab1 2
set CM.SetorTxt "3"
input pick 120,0 prompt "Selecione Item da Grade:"
input point 120,20 prompt "Ponto de inserção:"
click CM.DrwCmd(4)
expect text CM.SetorTxt "7"
expect text CM.QuadraTxt "12"
expect text CM.LoteTxt "120"
expect text CM.UnidTxt "01"
expect entities 1 0=INSERT 2=COM_LOTE 8=SETOR_7
expect attribute LOTE at 120,20 "120"
expect attribute S-Q at 120,20 "7-12"

# "Desfaz": the arrow and ticks go, the perimeter is back; the parcel stays.
tab CM.SSTab1 1
click CM.GRUndo
expect entities 0 -4=<OR 2=COM_GRADE 2=COM_SETA -4=OR>
expect entities 1 0=LWPOLYLINE 8=GRADE_10_LINHA
expect entities 1 0=INSERT 2=COM_LOTE
expect enabled CM.GRUndo false

# Run again, then "Apagar Grade" from one of its ticks.
input point 0,0 prompt "Inicial:"
input point 5,-5 prompt "Lado:"
click CM.GRExecCmd
expect entities 59 0=INSERT 2=COM_GRADE
tab CM.SSTab1 3
input pick 50,0 prompt "Selecione um objeto:"
click CM.DelGradeCmd
expect entities 0 -4=<OR 2=COM_GRADE 2=COM_SETA -4=OR>
expect entities 1 0=INSERT 2=COM_LOTE
expect entities 2 0=INSERT 2=COM_QUADRA

# "Perímetro" along the curved outline: its half circle cut into chords.
tab CM.SSTab1 1
input pick 300,50 prompt "Selecione Poly:"
click CM.GRPlineCmd
expect entities 1 0=LWPOLYLINE 8=GRADE_10_LINHA
input point 300,0 prompt "Inicial:"
input point 305,-5 prompt "Lado:"
click CM.GRExecCmd
expect entities 45 0=INSERT 2=COM_GRADE
expect xdata at 310,0 "7-13|10"
expect text CM.QuadraTxt "13"

# An open outline made a perimeter: the city block inside the polygon its
# vertices close (the last one too) is found without asking.
fixture sector 1 ${tmp}/setor.dwg
open ${tmp}/setor.dwg
tab CM.SSTab1 1
set CM.SetorTxt "7"
set CM.QuadraTxt "14"
input point 80,10
click CM.DrwCmd(1)
input pick 50,0 prompt "Selecione Poly:"
click CM.GRPlineCmd
input point 0,0 prompt "Inicial:"
input point 5,-5 prompt "Lado:"
click CM.GRExecCmd
expect entities 14 0=INSERT 2=COM_GRADE 8=SETOR_7
expect xdata at 100,40 "7-14|140"
