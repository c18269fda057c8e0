# The common tools panel: a sector, a city block, the two other city-block
# kinds and a parcel, numbered from the boxes by Enter, space and the
# buttons, each on its sector layer; an empty or unreadable box says so and
# draws nothing.

start
new
tab SSIniciar 3
expect text CM.Label1(0) " Setor:"
expect left CM.Frame1(1) 120

# Sector 007 by Enter on "Setor": letters never reach the box.
tab CM.SSTab1 0
expect visible CM.Frame1(1) false
type CM.SetorTxt "0a07"
expect text CM.SetorTxt "007"
input point 10,10 prompt "Ponto de inserção:"
key CM.SetorTxt Return
expect entities 1 0=INSERT 2=COM_SETOR 8=SETOR_7
expect attribute SETOR at 10,10 "7"

# City block 012 by Enter on "Quad."; Enter in the sector box does nothing there.
tab CM.SSTab1 1
expect visible CM.DrwCmd(0) false
key CM.SetorTxt Return
type CM.QuadraTxt "012"
input point 50,10
key CM.QuadraTxt Return
expect entities 1 0=INSERT 2=COM_QUADRA 8=SETOR_7
expect attribute QUADRA at 50,10 "12"
expect attribute SETOR at 50,10 "7"

# The other two kinds: one by its button, the range by Enter then space.
type CM.QuadraDTxt "13"
input point 90,10
click CM.DrwCmd(2)
expect entities 1 0=INSERT 2=COM_QUADRAD 8=SETOR_7
expect attribute QUADRA at 90,10 "13"
type CM.QuadraDDTxt(0) "14"
key CM.QuadraDDTxt(0) Return
expect entities 0 0=INSERT 2=COM_QUADRADD
type CM.QuadraDDTxt(1) "016"
input point 130,10
key CM.QuadraDDTxt(1) Space
expect attribute QI at 130,10 "14"
expect attribute QF at 130,10 "16"
expect attribute SETOR at 130,10 "7"

# The parcel box keeps letters; the button then refuses the number.
tab CM.SSTab1 2
expect visible CM.DrwCmd(1) false
type CM.LoteTxt "12a"
expect text CM.LoteTxt "12a"
answer frmMsgBox CmdOK
click CM.DrwCmd(5)
expect message "Preencha o número do Lote."
expect entities 0 0=INSERT 2=COM_LOTE

# Corrected, the parcel goes in with the sector and block of the boxes.
set CM.LoteTxt "0120"
input point 170,10
click CM.DrwCmd(5)
expect entities 1 0=INSERT 2=COM_LOTE 8=SETOR_7
expect attribute LOTE at 170,10 "120"
expect attribute S-Q at 170,10 "7-12"
expect entities 5 0=INSERT 8=SETOR_7

# An empty sector box: its message, nothing drawn, nothing asked.
tab CM.SSTab1 0
set CM.SetorTxt ""
answer frmMsgBox CmdOK
click CM.DrwCmd(0)
expect message "Preencha o número do Setor."
expect entities 5 0=INSERT

# The unit and the swatch.
tab CM.SSTab1 2
expect text CM.UnidTxt "01"
set CM.UnidScr 7
expect text CM.UnidTxt "07"
click CM.SequencialCmd
expect visible CM.EdifCmd false
