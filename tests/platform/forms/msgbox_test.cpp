// VB's MsgBox on the os layer's dialog door: what a driver is asked for each
// layout and what each answer returns, and the box a person sees.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>

#include "platform/forms/Application.h"
#include "platform/forms/MsgBox.h"
#include "platform/os/Dialogs.h"
#include "platform/os/Modal.h"

using namespace forms;

namespace {

// Answers with `answer` and keeps what the box would have shown.
struct Recorder {
    os::DialogRequest asked;
    os::DialogAnswer answer;
    os::ScopedDialogDriver driver{[this](const os::DialogRequest& r) {
        asked = r;
        return answer;
    }};
};

os::DialogAnswer Choice(int i)
{
    os::DialogAnswer a;
    a.choice = i;
    a.accepted = i == 0;
    return a;
}

QStringList Captions(QMessageBox* box)
{
    QStringList out;
    for (QAbstractButton* b : box->buttons()) out << b->text();
    out.sort();
    return out;
}

}  // namespace

TEST(MsgBox, EachLayoutIsPutToTheDialogDoorAndItsAnswerTold)
{
    Recorder r;
    r.answer = os::DialogAnswer::Yes();
    EXPECT_EQ(MsgBox("Falhou", vbCritical, "GRADE_10"), vbOK);
    EXPECT_EQ(r.asked.kind, os::DialogKind::Message);
    EXPECT_EQ(r.asked.title, "GRADE_10");
    EXPECT_EQ(r.asked.text, "Falhou");
    EXPECT_EQ(r.asked.buttons, (std::vector<std::string>{"OK"}));
    EXPECT_EQ(r.asked.icon, os::MessageIcon::Critical);
    // Escape on a box with OK alone is still OK.
    r.answer = os::DialogAnswer::Cancel();
    EXPECT_EQ(MsgBox("Falhou"), vbOK);
    EXPECT_EQ(r.asked.title, "QuorilCAD");
    EXPECT_EQ(r.asked.icon, os::MessageIcon::None);

    // A question: Yes, No, and Escape (No, as the box has no Cancel).
    r.answer = os::DialogAnswer::Yes();
    EXPECT_EQ(MsgBox("Continuar?", vbYesNo + vbQuestion + vbDefaultButton2), vbYes);
    EXPECT_EQ(r.asked.kind, os::DialogKind::Confirm);
    EXPECT_EQ(r.asked.buttons, (std::vector<std::string>{"Sim", "Não"}));
    EXPECT_EQ(r.asked.defaultButton, 1);
    EXPECT_EQ(r.asked.icon, os::MessageIcon::Question);
    r.answer = Choice(1);
    EXPECT_EQ(MsgBox("Continuar?", vbYesNo), vbNo);
    r.answer = os::DialogAnswer::Cancel();
    EXPECT_EQ(MsgBox("Continuar?", vbYesNo), vbNo);

    // Yes, No, Cancel: No and Cancel stay apart.
    r.answer = Choice(1);
    EXPECT_EQ(MsgBox("Salvar?", vbYesNoCancel + vbExclamation), vbNo);
    EXPECT_EQ(r.asked.icon, os::MessageIcon::Exclamation);
    r.answer = os::DialogAnswer::Cancel();
    EXPECT_EQ(MsgBox("Salvar?", vbYesNoCancel), vbCancel);

    // The other layouts, by the button pressed.
    r.answer = Choice(1);
    EXPECT_EQ(MsgBox("Apagar?", vbOKCancel + vbInformation), vbCancel);
    EXPECT_EQ(r.asked.kind, os::DialogKind::Message);
    EXPECT_EQ(r.asked.icon, os::MessageIcon::Information);
    r.answer = os::DialogAnswer::Yes();
    EXPECT_EQ(MsgBox("Ocupado", vbRetryCancel), vbRetry);
    EXPECT_EQ(MsgBox("Erro", vbAbortRetryIgnore), vbAbort);
    EXPECT_EQ(r.asked.buttons, (std::vector<std::string>{"Anular", "Repetir", "Ignorar"}));
    r.answer = Choice(1);
    EXPECT_EQ(MsgBox("Erro", vbAbortRetryIgnore + vbDefaultButton3), vbRetry);
    EXPECT_EQ(r.asked.defaultButton, 2);
    r.answer = os::DialogAnswer::Cancel();
    EXPECT_EQ(MsgBox("Erro", vbAbortRetryIgnore), vbIgnore);
    // A default beyond the buttons is the first one.
    r.answer = os::DialogAnswer::Yes();
    MsgBox("Apagar?", vbOKCancel + vbDefaultButton3);
    EXPECT_EQ(r.asked.defaultButton, 0);
}

TEST(MsgBox, APersonSeesThePortugueseButtonsAndEscapeCancels)
{
    forms::DoEvents();  // the widget application
    QStringList captions;
    QString text, title;
    ostest::WhenModal<QMessageBox>([&](QMessageBox* box) {
        captions = Captions(box);
        text = box->text();
        title = box->windowTitle();
        EXPECT_EQ(box->icon(), QMessageBox::Question);
        EXPECT_EQ(box->defaultButton()->text(), "Não");
        for (QAbstractButton* b : box->buttons())
            if (b->text() == "Não") b->click();
    });
    EXPECT_EQ(MsgBox("Salvar as alterações?", vbYesNoCancel + vbQuestion + vbDefaultButton2, "Rede"), vbNo);
    EXPECT_EQ(captions, (QStringList{"Cancelar", "Não", "Sim"}));
    EXPECT_EQ(text, "Salvar as alterações?");
    EXPECT_EQ(title, "Rede");

    ostest::WhenModal<QMessageBox>([](QMessageBox* box) {
        EXPECT_EQ(box->icon(), QMessageBox::Critical);
        QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(box, &esc);
    });
    EXPECT_EQ(MsgBox("Falhou", vbOKCancel + vbCritical, "GRADE_10"), vbCancel);

    // The overwrite question of the file dialogs keeps "Não" as its default.
    ostest::WhenModal<QMessageBox>([&](QMessageBox* box) {
        captions = Captions(box);
        EXPECT_EQ(box->defaultButton()->text(), "Não");
        box->defaultButton()->click();
    });
    os::DialogRequest q;
    q.kind = os::DialogKind::Confirm;
    q.title = "Salvar";
    q.text = "rede.dwg já existe.\nDeseja substituí-lo?";
    EXPECT_FALSE(os::Ask(q).accepted);
    EXPECT_EQ(captions, (QStringList{"Não", "Sim"}));
}
