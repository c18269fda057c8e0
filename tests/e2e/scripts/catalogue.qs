# The catalogue and the workbook templates as installed in the program
# folder, read through the data layer, and the sewer panel's lists filled
# from the same catalogue: the manhole types marked for insertion, the
# diameters of a material.

expect query ${program}/rereva2000r.mdb "SELECT COUNT(*) FROM E_PVBlocks" 9
expect query ${program}/rereva2000r.mdb "SELECT COUNT(*) FROM E_PVBlocks WHERE Inserir = True" 7
expect query ${program}/rereva2000r.mdb "SELECT Descricao FROM E_PVBlocks WHERE Abrev = 'TIL'" "Terminal de inspeção e limpeza"
expect query ${program}/rereva2000r.mdb "SELECT COUNT(*) FROM E_Materiais WHERE Material = 'PVC'" 7
expect query ${program}/rereva2000r.mdb "SELECT Abrev FROM E_PVBlocks WHERE Abrev = 'XX'" "no rows"
expect workbook ${program}/dadosfinais.xls Plan1 A2 "PLANILHA DE CÁLCULO DA REDE COLETORA DE ESGOTO"
expect workbook ${program}/DadosOrca.xls Padrao A1 "TRECHO"

start
tab SSIniciar 1
expect count SD.DesPVcbo 7
tab SD.SSDesenho 1
choose SD.DesMatTuboCbo(0) "PVC"
expect count SD.DesTuboDiamlst 7
