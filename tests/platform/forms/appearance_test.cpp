// How the forms look: their type, combo fields that show a cut entry as cut,
// tabs drawn inside their buttons, and Qt's own windows in Portuguese.

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontInfo>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QStyleOptionComboBox>

#include "platform/forms/Forms.h"
#include "platform/forms/Private.h"
#include "platform/forms/Testing.h"

using namespace forms;

namespace {

QImage Grab(Control& c) { return c.Impl().widget->grab().toImage(); }

TEST(FormsAppearance, ControlsUseTheNarrowSansSerifAtEightPoints)
{
    Form f("frmType");
    auto& Label1 = f.Add<Label>("Label1");
    auto& Big = f.Add<Label>("Big");
    Big.SetFontSize(14);
    EXPECT_EQ(Label1.FontName(), "Liberation Sans Narrow");
    EXPECT_EQ(Label1.FontSize(), 8);
    EXPECT_EQ(QFontInfo(Label1.Impl().widget->font()).family(), "Liberation Sans Narrow");
    // A size or a face of its own keeps the other properties of the type.
    EXPECT_EQ(Big.FontName(), "Liberation Sans Narrow");
    Big.SetFontName("DejaVu Sans");
    EXPECT_EQ(QFontInfo(Big.Impl().widget->font()).family(), "DejaVu Sans");
    EXPECT_EQ(Big.FontSize(), 14);
}

TEST(FormsAppearance, AComboFieldEndsAnEntryTooLongForItInAnEllipsis)
{
    Form f("frmCombo");
    f.Move(0, 0, 3000, 2000);
    auto& Long = f.Add<ComboBox>("Long");
    auto& Shortened = f.Add<ComboBox>("Shortened");
    auto& Type = f.Add<ComboBox>("Type");
    for (ComboBox* c : {&Long, &Shortened, &Type}) c->SetStyle(vbComboDropdownList);
    Long.Move(0, 0, 975, 315);
    Shortened.Move(0, 400, 975, 315);
    Type.Move(0, 800, 975, 315);
    Long.AddItem("Bloquete de concreto");
    Long.SetListIndex(0);
    Type.AddItem("PV-1000");
    Type.SetListIndex(0);
    f.Show();

    auto* combo = static_cast<QComboBox*>(Long.Impl().widget.data());
    QStyleOptionComboBox opt;
    opt.initFrom(combo);
    opt.frame = true;
    const QRect field = combo->style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, combo);
    const QFontMetrics fm(combo->font());
    const QString cut = fm.elidedText(QStringLiteral("Bloquete de concreto"), Qt::ElideRight, field.width() - 2);
    ASSERT_TRUE(cut.endsWith(QChar(0x2026))) << cut.toStdString();
    // The field shows exactly what a field holding the shortened text shows.
    Shortened.AddItem(cut.toStdString());
    Shortened.SetListIndex(0);
    EXPECT_EQ(Grab(Long), Grab(Shortened));
    EXPECT_EQ(Long.Text(), "Bloquete de concreto");  // the value itself is whole
    // A manhole type fits its field whole.
    EXPECT_LE(fm.horizontalAdvance(QStringLiteral("PV-1000")) + 2, field.width());

    // The drop-down list shows the whole entry.
    combo->showPopup();
    EXPECT_GE(combo->view()->viewport()->width(), fm.horizontalAdvance(QStringLiteral("Bloquete de concreto")));
    combo->hidePopup();
    Unload(f);
}

TEST(FormsAppearance, TabsAreDrawnInsideTheirButtons)
{
    Form f("frmTabs");
    f.Move(0, 0, 3000, 3000);
    auto& Tabs = f.Add<TabControl>("Tabs");
    Tabs.Move(0, 0, 2400, 2400);
    Tabs.SetTabs(4);
    Tabs.SetTabsPerRow(2);
    Tabs.SetTabHeight(300);
    f.Show();
    const int tabH = 20, pageTop = 2 * tabH;
    const int w = Tabs.Impl().widget->width();
    // Beneath a selected tab the page, or the row below, looks as it does
    // beneath its neighbour.
    Tabs.SetTab(2);
    QImage img = Grab(Tabs);
    EXPECT_EQ(img.pixel(w / 4, pageTop + 12), img.pixel(3 * w / 4, pageTop + 12));
    Tabs.SetTab(0);
    img = Grab(Tabs);
    EXPECT_EQ(img.pixel(w / 4, tabH + 1), img.pixel(3 * w / 4, tabH + 1));
    // The last tab of a row draws its right edge inside the control, as the
    // edge between two tabs.
    EXPECT_EQ(img.pixel(w - 1, tabH / 2), img.pixel(w / 2, tabH / 2));
    Unload(f);
}

TEST(FormsAppearance, QtsOwnWindowsSpeakPortuguese)
{
    Form f("frmAny");  // the application of the forms
    QFileDialog dialog(nullptr, QStringLiteral("Abrir"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    auto* lookIn = dialog.findChild<QLabel*>(QStringLiteral("lookInLabel"));
    auto* fileName = dialog.findChild<QLabel*>(QStringLiteral("fileNameLabel"));
    ASSERT_NE(lookIn, nullptr);
    ASSERT_NE(fileName, nullptr);
    EXPECT_EQ(lookIn->text().toStdString(), "Procurar em:");
    EXPECT_EQ(fileName->text().remove(QLatin1Char('&')).toStdString(), "Nome do arquivo:");
    auto* buttons = dialog.findChild<QDialogButtonBox*>();
    ASSERT_NE(buttons, nullptr);
    QPushButton* cancel = buttons->button(QDialogButtonBox::Cancel);
    ASSERT_NE(cancel, nullptr);
    EXPECT_EQ(cancel->text().remove(QLatin1Char('&')).toStdString(), "Cancelar");
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    QPushButton* save = buttons->button(QDialogButtonBox::Save);
    if (!save) save = buttons->button(QDialogButtonBox::Open);
    ASSERT_NE(save, nullptr);
    EXPECT_EQ(save->text().remove(QLatin1Char('&')).toStdString(), "Salvar");
}

}  // namespace
