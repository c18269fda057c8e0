# A small designed sewer network drawn by the sewer drawing model: four
# manholes and three reaches (no drop, a step, a drop pipe; one reach drawn
# mirrored), saved, and opened again with the same blocks and attributes.
#
# Until the sewer panel gives the user a way to these commands, the script
# calls them: LoadDb, DrawPV and DrawTR (tests/sewer/network_e2e_test.cpp).

start
new
call LoadDb
expect result LoadDb true

# The first manhole where the user points, in the direction the user gives.
input point 0,0 prompt "Ponto de inserção: "
input angle 0 prompt "Direção: "
call DrawPV - - E-PV PV-1 102.000 100.500 1.500 1
expect result DrawPV true
call DrawPV 60,0 0 E-PV PV-2 101.500 99.900 1.600 1
call DrawPV 20,-45 0 E-PV PV-3 101.000 99.150 1.850 1
call DrawPV 80,-45 0 E-PV PV-4 100.000 98.000 2.000 2

call DrawTR 0,0 60,0 150 60.00 0.010000 PVC 1 PV-1-PV-2 Asfalto
expect result HasTQorDG ""
call DrawTR 60,0 20,-45 150 60.21 0.010000 PVC 1 PV-2-PV-3 Asfalto
expect result HasTQorDG D
call DrawTR 20,-45 80,-45 200 60.00 0.005000 PVC 2 PV-3-PV-4 Terra
expect result HasTQorDG T

# Read back from the file: a copy, so that the host cannot hand back the
# drawing it still holds.
save ${tmp}/rede.dwg
copy ${tmp}/rede.dwg ${tmp}/copia.dwg
new
expect entities 0 0=INSERT
open ${tmp}/copia.dwg

expect entities 4 0=INSERT 2=E-PV
expect entities 3 0=INSERT 2=E-TRSAN
expect entities 3 0=LINE
expect entities 2 0=LINE 8=T_150
expect entities 1 0=LINE 8=T_200_E2
expect attribute NUMERO at 0,0 PV-1
expect attribute CS at 60,0 99.900
expect attribute CP at 20,-45 1.850
expect attribute ET at 80,-45 2
expect attribute DD at 30,0 150-60.00
expect attribute TRECHO at 30,0 PV-1-PV-2
expect attribute PV2 at 30,0 60.0000,0.0000
expect attribute DG at 30,0 ""
expect attribute DD at 40,-22.5 150-60.21
expect attribute TCP at 40,-22.5 0.148
expect attribute TCS at 40,-22.5 99.298
expect attribute DG at 40,-22.5 O
expect attribute TQ at 40,-22.5 ""
expect attribute PV1 at 40,-22.5 60.0000,0.0000
expect attribute MAT at 50,-45 PVC
expect attribute PAVMTO at 50,-45 Terra
expect attribute ET at 50,-45 2
expect attribute TCP at 50,-45 0.850
expect attribute TQ at 50,-45 O
expect attribute DG at 50,-45 O
