# The system's plain message box (MsgBox): its text read, each layout answered
# and the button pressed told back as VB tells it.

start

# A failure reported with the critical icon: OK alone.
dialog ok
call MsgBox "Falhou" 16 "GRADE_10"
expect message "Falhou"
expect result MsgBox 1

# A question: "Sim" gives vbYes, "Não" vbNo.
dialog yes
call MsgBox "Continuar?" 36 "GRADE_10"
expect message "Continuar?"
expect result MsgBox 6
dialog no
call MsgBox "Continuar?" 36
expect result MsgBox 7

# Yes, No and Cancel: Escape gives Cancel, "Não" stays No.
dialog cancel
call MsgBox "Salvar as alterações?" 3
expect result MsgBox 2
dialog no
call MsgBox "Salvar as alterações?" 3
expect result MsgBox 7

# OK and Cancel, Retry and Cancel.
dialog ok
call MsgBox "Apagar?" 1
expect result MsgBox 1
dialog cancel
call MsgBox "Apagar?" 1
expect result MsgBox 2
dialog ok
call MsgBox "Arquivo ocupado." 5
expect result MsgBox 4
expect running
