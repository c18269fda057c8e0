# The fittings table editor from the main window: the button is revealed by
# Shift over a water option, a socket's ring is set to "Não usa", and the
# change is in the catalogue, and in the editor, after a new start.

start
tab SSIniciar 2
click AGUOption1(1)
expect left TableCmd 3500
hover AGUOption1(1)
expect left TableCmd 3500
hover AGUOption1(1) Shift
expect left TableCmd 720

# The tee of PVC PBA: its second socket loses its ring.
answer frmTable
  expect caption frmTable "Materiais"
  choose Combo1 "PVC PBA"
  choose Combo2 "Tê"
  expect text lblCodigo "TEPBA"
  expect text lblBloco "A-TE"
  expect visible Frame1(2) true
  expect visible Frame1(3) false
  # The headings stand above the socket rows.
  expect top Frame1(4) 3180
  expect top Frame1(0) 3480
  expect text Label4(1) "ANPBA"
  expect enabled UpgCmd false
  click Label4(1)
  expect visible List4 true
  expect text List4 ""
  choose List4 "Não usa"
  expect enabled UpgCmd true
  click UpgCmd
  expect enabled UpgCmd false
  expect text Label4(1) "Não usa"
  expect text Label4(0) "ANPBA"
  click Command1
end
click TableCmd
# Closed: the button is hidden again and the catalogue holds no ring there.
expect left TableCmd 3500
expect query ${program}/rereva2000r.mdb "SELECT Anel FROM A_Bolsas WHERE Codigo = 'TEPBA' AND Numero = '2'" Null
expect query ${program}/rereva2000r.mdb "SELECT Anel FROM A_Bolsas WHERE Codigo = 'TEPBA' AND Numero = '1'" ANPBA
click cmdEnd
expect ended

# A new start reads it again; then the material of old pipe labels is put
# right from the catalogue's pipe types.
start
tab SSIniciar 2
hover AGUOption1(0) Shift
answer frmTable
  choose Combo1 "PVC PBA"
  choose Combo2 "Tê"
  expect text Label4(1) "Não usa"
  expect text Label4(2) "ANPBA"
  click cmdEnd
end
click TableCmd
expect left TableCmd 3500

# "water-old-labels.dxf": "R-TUBO" labels at 40, 140, 240 and 340 along X with
# the pipe codes "PBA15DN50-6m", "XYZDN75-6m" (no such pipe), "FFK7DN100-6m"
# and "PBA20-6m" (no "DN"), and a current "A-TUBO" label at 440.
open ${scripts}/water-old-labels.dxf
click AGUOption1(1)
tab WC.SSTools 1
input window -50,-50 500,50
input enter
dialog ok
click WC.Command3
expect message "5"
expect message title "QuorilCAD"
expect attribute MAT at 40,0 "Tubo PVC PBA JE Classe 15"
expect attribute MAT at 140,0 ""
expect attribute MAT at 240,0 "Tubo FoFo K7 JGS"
expect attribute MAT at 340,0 ""
expect attribute MATERIAL at 440,0 "PVC"

click cmdEnd
expect ended
