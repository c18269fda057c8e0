# The building registry on a survey's drawing that holds two single-family
# buildings (ECONOMIAS "1" and "2") and a commercial one ("3"): a
# single-family building inserted as the tab first shows, a multifamily
# and a commercial building inserted from the "Cadastro" tab, the commercial
# one turned by the user, a low-threshold marker beside it, and the quantity
# table of the whole drawing.

fixture buildings 3 ${data}/cadastro.dwg
start
open ${data}/cadastro.dwg
zoom -50,-60 200,60
tab SSIniciar 4

# The first showing agrees with the marked type: single-family, Número alone,
# and Enter there inserts at once.
expect text TD.CADlbl2 "Residencial UniFamiliar"
expect visible TD.CADtxt(0) false
expect visible TD.CADtxt(2) false
expect visible TD.CADtxt(3) false
type TD.CADtxt(1) "9"
input point 170,30 prompt "Ponto de inserção: "
key TD.CADtxt(1) Return
expect attribute NUMERO at 170,30 "9"
expect entities 3 0=INSERT 2=CAD_RUF 8=CADASTRO

tab TD.SSTopo 1
tab TD.SSTopo 0
expect text TD.CADlbl2 "Residencial UniFamiliar"
expect visible TD.CADtxt(0) false

# Multifamily: Número, then Aptos; Enter in the last field inserts.
click TD.Im(1)
expect text TD.CADlbl2 "Residencial Multifamiliar"
expect visible TD.CADtxt(2) true
expect visible TD.CADtxt(3) false
type TD.CADtxt(1) "10"
key TD.CADtxt(1) Return
type TD.CADtxt(2) "12"
input point 100,0 prompt "Ponto de inserção: "
key TD.CADtxt(2) Return
expect attribute NUMERO at 100,0 "10"
expect attribute APTOS at 100,0 "12"
expect attribute NOME at 100,0 ""

# Commercial: Nome, Número, Comercios; the user gives the angle it turns by.
# Aptos, hidden for this type, writes nothing.
click TD.Im(3)
expect text TD.CADlbl2 "Edificação Comercial"
expect visible TD.CADtxt(2) false
type TD.CADtxt(0) "Mercado Central"
key TD.CADtxt(0) Return
type TD.CADtxt(1) "11"
key TD.CADtxt(1) Return
type TD.CADtxt(3) "4"
input point 130,0 prompt "Ponto de inserção: "
input angle 90
key TD.CADtxt(3) Return
expect attribute NOME at 130,0 "Mercado Central"
expect attribute NUMERO at 130,0 "11"
expect attribute COM at 130,0 "4"
expect attribute APTOS at 130,0 ""
expect entities 2 0=INSERT 2=CAD_COM 8=CADASTRO

# The marker: the commercial building picked on its edge, the direction
# shown north of it; it stands 6.9462 units away.
input pick 130,-4.9118 prompt "Selecione objeto: "
input point 130,50 prompt "Direção: "
click TD.Im(7)
expect entities 1 0=INSERT 2=CAD_SBX 8=CADASTRO
expect z at 130,6.9462 0

# The table: three single-family, one multifamily, two commercial buildings.
input point 0,-50 prompt "Ponto de inserção:"
click TD.Im(6)
expect attribute QTT_RUF at 0,-50 "3"
expect attribute ECO_RUF at 0,-50 "3"
expect attribute QTT_RMF at 0,-50 "1"
expect attribute ECO_RMF at 0,-50 "0"
expect attribute QTT_COM at 0,-50 "2"
expect attribute ECO_COM at 0,-50 "3"
expect attribute QTT_MIX at 0,-50 "0"
expect attribute QTT_TOTAL at 0,-50 "6"
expect attribute ECO_TOTAL at 0,-50 "6"

click cmdEnd
expect ended
