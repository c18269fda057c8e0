# Buildings and water meters on the "Lote" tab of the common tools panel: a
# building given its address through "Edificações >>", a meter placed by its
# point and direction, then the whole sequence from a meter picture (parcel
# from a grid tick, building, meter), a sequence that stops at a marker
# picked for the building, and one that stops at a building of an older
# catalogue until its blocks are brought up to date.

fixture numbering 2 ${tmp}/predios.dwg
start
open ${tmp}/predios.dwg
tab SSIniciar 3
tab CM.SSTab1 2
expect text CM.UnidTxt "01"

# Building 2 was inserted before its block had the address: it comes back
# from the block's definition, its scale and texts kept, on the sector layer.
type CM.SetorTxt "007"
type CM.QuadraTxt "012"
type CM.LoteTxt "0120"
input pick 34.95,0 prompt "Selecione Edificação"
click CM.EdifCmd
expect entities 1 0=INSERT 2=CAD_RUF 8=SETOR_7
expect attribute S-Q-L at 30,0 "7-12-120"
expect attribute UNIDADE at 30,0 "01"
expect attribute NUMERO at 30,0 "2"
expect attribute ECONOMIAS at 30,0 "2"

# A meter beside it, turned to the building; its address also as its data.
hover CM.HidrImg(0)
expect left CM.HidUp(0) 30
input point 40,10 prompt "Ponto de inserção:"
input angle 90 prompt "Direção:"
click CM.HidrImg(0)
expect left CM.HidUp(1) 1000
expect entities 1 0=INSERT 2=COM_HSIM 8=SETOR_7
expect attribute UNIDADE at 40,10 "01"
expect attribute S-Q-L at 40,10 "7-12-120"
expect xdata at 40,10 "7-12-120-01|7-12-120-01"

# A meter needs every number: an unreadable unit says so and places nothing.
set CM.UnidTxt "x"
answer frmMsgBox CmdOK
click CM.HidrImg(1)
expect message "Preencha o número da Unidade."
expect entities 0 0=INSERT 2=COM_HNAO

# The sequence: the tick 120 of sector 7, city block 12 fills the boxes and
# places the parcel, building 1 is numbered in place, the meter follows.
set CM.SequencialCmd 1
expect visible CM.EdifCmd false
set CM.UnidScr 2
expect text CM.UnidTxt "02"
set CM.SetorTxt ""
set CM.LoteTxt ""
input pick 0,-39 prompt "Selecione Item da Grade:"
input point 10,-45 prompt "Ponto de inserção:"
input pick 2.475,0 prompt "Selecione Edificação"
input point 10,10 prompt "Ponto de inserção:"
input angle 0 prompt "Direção:"
click CM.HidrImg(3)
expect text CM.SetorTxt "7"
expect text CM.LoteTxt "120"
expect attribute LOTE at 10,-45 "120"
expect attribute S-Q at 10,-45 "7-12"
expect attribute S-Q-L at 0,0 "7-12-120"
expect attribute UNIDADE at 0,0 "02"
expect attribute NUMERO at 0,0 "1"
expect entities 2 0=INSERT 2=CAD_RUF 8=SETOR_7
expect xdata at 10,10 "7-12-120-02|7-12-120-02"
expect attribute UNIDADE at 10,10 "02"

# The marker picked for the building ends the sequence: no meter.
input pick 0,-39 prompt "Selecione Item da Grade:"
input point 10,-60 prompt "Ponto de inserção:"
input pick 0.5,-20 prompt "Selecione Edificação"
click CM.HidrImg(1)
expect entities 2 0=INSERT 2=COM_LOTE
expect entities 0 0=INSERT 2=COM_HNAO
expect entities 1 0=INSERT 2=COM_HNAOC

# A drawing of an older catalogue, whose building block has no S-Q-L: the
# sequence stops at the building and names the command that brings the
# block up to date; the building stays as it was and no meter is placed.
fixture sector 1 ${tmp}/setor.dwg
open ${tmp}/setor.dwg
tab CM.SSTab1 1
set CM.QuadraTxt "14"
input point 80,10
click CM.DrwCmd(1)
input pick 50,0
click CM.GRPlineCmd
input point 0,0
input point 5,-5
click CM.GRExecCmd
tab CM.SSTab1 2
input pick 100,20 prompt "Selecione Item da Grade:"
input point 110,20 prompt "Ponto de inserção:"
input pick 201,100 prompt "Selecione Edificação"
answer frmMsgBox CmdOK
click CM.HidrImg(0)
expect message contains "\"Atualiza Blocos Cadastro\""
expect attribute NUMERO at 200,100 "42"
expect entities 1 0=INSERT 2=CAD_RUF 8=0
expect entities 0 0=INSERT 2=COM_HSIM

# Brought up to date, the same building takes the address.
tab CM.SSTab1 3
click CM.UpgradeCmd
tab CM.SSTab1 2
input pick 100,20
input point 110,30
input pick 202.475,100
input point 210,100
input angle 0
click CM.HidrImg(0)
expect attribute S-Q-L at 200,100 "7-14-120"
expect attribute NUMERO at 200,100 "42"
