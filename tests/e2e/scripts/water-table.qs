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

# A new start reads it again.
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
click cmdEnd
expect ended
