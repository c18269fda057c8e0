# The water panel's quantity table: three DN 100 couplings joined by a 50 m
# pipe of the existing network and a 12 m pipe of the first stage, all drawn
# through the panel; then "Quantitativos" with the fittings and their rings,
# and with "Somente Tubulações" the pipe rows alone.

start
new
tab SSIniciar 2
click AGUOption1(0)

choose WC.Material "PVC PBA"
press WC.WATMenu 5
expect tooltip WC.WATMenu.Picture1 "Luva de correr"
input point 100,100 prompt "Ponto de inserção: "
input angle 0
choose WC.WatDP "100"
input point 150,100
input angle 0
click WC.DesCmd
input point 200,100
input angle 0
click WC.DesCmd
expect entities 3 0=INSERT 2=A-LUVA

input pick 100.9,100 prompt "Selecione Conexão ou Polyline:"
input pick 149.1,100 prompt "Selecione Conexão:"
answer frmWATTubo
  expect text Text1 "50"
  click CmdOK
end
click WC.TuboCmd
expect attribute CODIGO at 125,100 "PBA15DN100-50m"

choose WC.Etapa 1
input pick 150.9,100
input pick 199.1,100
answer frmWATTubo
  set Text1 "12"
  click CmdOK
end
click WC.TuboCmd
expect attribute CODIGO at 175,100 "PBA15DN100-12m"
expect attribute ETAPA at 175,100 "1"

# The table at 0,0: per stage its pipes, then its fittings, then the rings
# (one per socket and one per whole 6 m of pipe).
click AGUOption1(1)
tab WC.SSTools 0
expect text WC.QttCmd "Quantitativos"
expect text WC.QttChk "Somente Tubulações"
zoom 0,-50 250,150
input point 0,0 prompt "Ponto de inserção: "
input window 90,90 210,110
input enter
click WC.QttCmd
expect entities 1 0=INSERT 2=RQ-A
expect entities 2 0=INSERT 2=RQ-E
expect entities 5 0=INSERT 2=RQ-I
expect entities 1 0=INSERT 2=RQ-T
expect attribute ETA at 0,-5 "Existente"
expect attribute N at 0,-8 "1"
expect attribute COD at 0,-8 "PBA15DN100"
expect attribute ESP at 0,-8 "Tubo PVC PBA JE Classe 15 DN 100"
expect attribute QTT at 0,-8 "50"
expect attribute UN at 0,-8 "m"
expect attribute COD at 0,-11 "LUPBADN100"
expect attribute ESP at 0,-11 "Luva de correr DN 100"
expect attribute QTT at 0,-11 "3"
expect attribute UN at 0,-11 "unid."
expect attribute COD at 0,-14 "ANPBADN100"
expect attribute ESP at 0,-14 "Anel de borracha JE para PVC PBA DN 100"
expect attribute QTT at 0,-14 "14"
expect attribute ETA at 0,-19 "Primeira Etapa"
expect attribute N at 0,-22 "4"
expect attribute QTT at 0,-22 "12"
expect attribute COD at 0,-25 "ANPBADN100"
expect attribute QTT at 0,-25 "2"
expect attribute TOTAL at 0,-25 "62"

# Pipes only: no fitting or ring rows, both stages still head their pipes.
set WC.QttChk 1
input point 200,0
input window 90,90 210,110
input enter
click WC.QttCmd
expect entities 2 0=INSERT 2=RQ-A
expect entities 7 0=INSERT 2=RQ-I
expect attribute ETA at 200,-5 "Existente"
expect attribute COD at 200,-8 "PBA15DN100"
expect attribute ETA at 200,-13 "Primeira Etapa"
expect attribute N at 200,-16 "2"
expect attribute QTT at 200,-16 "12"
expect attribute TOTAL at 200,-16 "62"

# A point not given draws nothing and says nothing.
input escape prompt "Ponto de inserção: "
input enter
click WC.QttCmd
expect entities 2 0=INSERT 2=RQ-A

click cmdEnd
expect ended
