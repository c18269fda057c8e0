// Every caption, list entry and tab caption of the program's forms and panels
// fits its control in the forms' own type: measured with the real font
// metrics of each control, inside the part of the control its container lets
// show. An offender is named with its form, control, text and the pixels it
// needs and has.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QAbstractItemView>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QStyleOptionGroupBox>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "ShellTestSupport.h"
#include "app/Form1.h"
#include "app/frmAbrirDir.h"
#include "platform/forms/Private.h"
#include "sewer/frmCalcCotaPT.h"
#include "sewer/frmEditList.h"
#include "sewer/frmEditPV.h"
#include "sewer/frmEditTR.h"
#include "shell/frmCancelar.h"
#include "shell/frmInput.h"
#include "shell/frmMsgBox.h"
#include "shell/frmPointInfo.h"
#include "shell/frmTips.h"
#include "shell/modGlobais.h"
#include "water/frmTable.h"
#include "water/frmWATTubo.h"

using namespace forms;

namespace {

struct Offender {
    std::string where;
    std::string text;
    int need = 0;  // pixels
    int have = 0;
};

std::string Path(const Control& c)
{
    std::string p = c.Name();
    if (c.Index() >= 0) p += "(" + std::to_string(c.Index()) + ")";
    for (ControlHost* h = c.Parent(); h;) {
        Control* owner = h->ContainerImpl().owner;
        if (!owner) break;
        p = owner->Name() + "." + p;
        h = owner->Parent();
    }
    return p;
}

// The columns of `w` that its parent lets show, as a range of w's x. A
// control parked wholly out of its container (on a tab page not shown, or a
// panel's tab set waiting to be switched in) is measured whole: it comes back
// whole.
std::pair<int, int> ShownColumns(const QWidget* w)
{
    int left = 0, right = w->width();
    const QWidget* p = w->parentWidget();
    if (p && !w->isWindow() && w->x() < p->width() && w->x() + w->width() > 0) {
        left = std::max(left, -w->x());
        right = std::min(right, p->width() - w->x());
    }
    return {left, right};
}

// The rows of `w` above its container's bottom edge (all of them for a
// control parked out of sight, as above).
int ShownRows(const QWidget* w)
{
    const QWidget* p = w->parentWidget();
    if (p && !w->isWindow() && w->y() < p->height() && w->x() < p->width() && w->x() + w->width() > 0)
        return std::min(w->height(), p->height() - w->y());
    return w->height();
}

// The room of a text drawn in [left, right) of the widget, cut to what shows.
int Room(const QWidget* w, int left, int right)
{
    const auto [l, r] = ShownColumns(w);
    return std::min(right, r) - std::max(left, l);
}

class Walker {
public:
    std::vector<Offender> found;
    std::vector<std::string> shortened;  // combo entries shown with "…" in the field
    int measured = 0;

    void Walk(ControlHost& host)
    {
        for (Control& c : host.Controls()) {
            Measure(c);
            if (auto* uc = dynamic_cast<UserControl*>(&c)) Walk(*uc);
        }
    }

    // A text the program puts in `c` as the user goes, measured as it shows.
    void MeasureAfter(Control& c, const std::function<void()>& act)
    {
        act();
        DoEvents();
        Measure(c);
    }

private:
    void Check(const Control& c, const std::string& what, const QString& text, int need, int have)
    {
        ++measured;
        if (need <= have) return;
        found.push_back({Path(c) + what, text.toStdString(), need, have});
    }

    void Measure(Control& c)
    {
        // Folder and drive lists show the disk's own names.
        if (dynamic_cast<DirListBox*>(&c) || dynamic_cast<DriveListBox*>(&c)) return;
        QWidget* w = c.Impl().widget;
        if (!w) return;
        QStyle* st = w->style();
        const QFontMetrics fm(w->font());
        if (auto* l = qobject_cast<QLabel*>(w)) {
            if (l->text().trimmed().isEmpty()) return;
            const QRect r = l->contentsRect();
            const int flags = (l->wordWrap() ? Qt::TextWordWrap : 0) | Qt::AlignLeft | Qt::AlignTop;
            const QRect b = fm.boundingRect(QRect(0, 0, std::max(1, r.width()), 100000), flags, l->text());
            Check(c, "", l->text(), b.width(), Room(l, r.left(), r.right() + 1));
            // Wrapped into more rows than the label shows, or than its
            // container lets show below its top.
            const int rows = std::min(r.height(), ShownRows(l) - r.top());
            if (b.height() > rows + fm.leading() + 1)
                found.push_back({Path(c) + " (rows)", l->text().toStdString(), b.height(), rows});
        } else if (auto* b = qobject_cast<QPushButton*>(w)) {
            if (b->text().isEmpty()) return;
            const int frame = st->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, b);
            // A little air between the text and the button's edge.
            const int air = 3;
            Check(
                c, "", b->text(),
                fm.horizontalAdvance(b->text()) + 2 * (frame + air) + (b->icon().isNull() ? 0 : b->iconSize().width()),
                Room(b, 0, b->width()));
        } else if (qobject_cast<QCheckBox*>(w) || qobject_cast<QRadioButton*>(w)) {
            auto* b = static_cast<QAbstractButton*>(w);
            if (b->text().isEmpty()) return;
            QStyleOptionButton opt;
            opt.initFrom(b);
            opt.text = b->text();
            const bool check = qobject_cast<QCheckBox*>(w) != nullptr;
            const QRect r =
                st->subElementRect(check ? QStyle::SE_CheckBoxContents : QStyle::SE_RadioButtonContents, &opt, b);
            Check(c, "", b->text(), fm.horizontalAdvance(b->text()) + 1, Room(b, r.left(), b->width()));
        } else if (auto* cb = qobject_cast<QComboBox*>(w)) {
            QStyleOptionComboBox opt;
            opt.initFrom(cb);
            opt.editable = cb->isEditable();
            opt.frame = cb->hasFrame();
            const QRect r = st->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, cb);
            bool opened = false;
            for (int i = 0; i < cb->count(); ++i) {
                const QString t = cb->itemText(i);
                // The entry's text is drawn a pixel in from each side of the field.
                const int need = fm.horizontalAdvance(t) + 2;
                if (need <= Room(cb, r.left(), r.right() + 1) || cb->isEditable()) {
                    Check(c, " entry " + std::to_string(i), t, need, Room(cb, r.left(), r.right() + 1));
                    continue;
                }
                // A catalogue entry longer than the field: the field shows it
                // shortened with "…", the drop-down list whole.
                shortened.push_back(Path(c) + " \"" + t.toStdString() + "\"");
                if (!opened) {
                    cb->showPopup();
                    opened = true;
                }
                const int margin = st->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, cb->view()) + 1;
                Check(c, " drop-down entry " + std::to_string(i), t, fm.horizontalAdvance(t) + 2 * margin,
                      cb->view()->viewport()->width());
            }
            if (opened) cb->hidePopup();
        } else if (auto* lw = qobject_cast<QListWidget*>(w)) {
            const QWidget* vp = lw->viewport();
            const int margin = st->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, lw) + 1;
            const int left = vp->x(), right = vp->x() + vp->width();
            for (int i = 0; i < lw->count(); ++i) {
                const QString t = lw->item(i)->text();
                Check(c, " entry " + std::to_string(i), t, fm.horizontalAdvance(t) + 2 * margin, Room(lw, left, right));
            }
        } else if (auto* g = qobject_cast<QGroupBox*>(w)) {
            if (g->title().isEmpty()) return;
            QStyleOptionGroupBox opt;
            opt.initFrom(g);
            opt.text = g->title();
            opt.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
            const QRect r = st->subControlRect(QStyle::CC_GroupBox, &opt, QStyle::SC_GroupBoxLabel, g);
            Check(c, "", g->title(), r.left() + fm.horizontalAdvance(g->title()), Room(g, 0, g->width()));
        } else if (auto* tc = dynamic_cast<TabControl*>(&c)) {
            for (int i = 0; i < tc->Tabs(); ++i) {
                const QString text = detail::StripAccessKeys(QString::fromStdString(tc->TabCaption(i)));
                const QRect t = detail::TabCaptionRect(*tc, i);
                if (text.isEmpty() || t.isEmpty()) continue;
                Check(c, " tab " + std::to_string(i), text, fm.horizontalAdvance(text),
                      Room(w, t.left(), t.right() + 1));
            }
        }
    }
};

std::string Report(const std::vector<Offender>& found)
{
    std::ostringstream s;
    for (const Offender& o : found)
        s << "  " << o.where << " \"" << o.text << "\": " << o.need << " px in " << o.have << " px\n";
    return s.str();
}

struct TextFit : ::testing::Test {
    shelltest::TempDir programa;

    void SetUp() override
    {
        shelltest::UseProgramPictures();
        DefinePastaPrograma(programa.path());
        gMdbPath = gBlocosPath = gImagensPath = gAppPath = "";
        gLogo = gBanner = Picture();
        // The catalogue the build ships: the panels fill their lists from it.
        const std::filesystem::path bin = std::getenv("QUORIL_BIN_DIR");
        std::filesystem::copy_file(bin / "rereva2000r.mdb", std::filesystem::path(programa.path()) / "rereva2000r.mdb");
        // The water materials' menu pictures lie beside it.
        for (const auto& e : std::filesystem::directory_iterator(bin)) {
            const std::string nome = e.path().filename().string();
            for (const char* fim : {"_Flat.bmp", "_Move.bmp", "_Click.bmp"})
                if (nome.size() > std::strlen(fim) && nome.ends_with(fim))
                    std::filesystem::copy_file(e.path(), std::filesystem::path(programa.path()) / nome);
        }
    }
    void TearDown() override { DefinePastaPrograma(""); }

    // The main window with every panel started, as after a visit to each tab.
    static void StartPanels(Form1& f)
    {
        f.Show();
        for (int tab = 1; tab <= 4; ++tab) user::ChooseTab(f.SSIniciar, tab);
        user::ChooseTab(f.SSIniciar, 0);
        DoEvents();
    }

    // A form of kind F shown, set up by `prepare`, measured and unloaded.
    template <class F, class Prepare>
    static void WalkForm(Walker& w, Prepare prepare)
    {
        F form;
        form.Show();
        prepare(form);
        DoEvents();
        w.Walk(form);
        Unload(form);
    }
    template <class F>
    static void WalkForm(Walker& w)
    {
        WalkForm<F>(w, [](F&) {});
    }
};

}  // namespace

TEST_F(TextFit, TheMainWindowAndItsPanelsShowEveryTextWhole)
{
    shelltest::ModalAnswers answers;
    Form1 f;
    StartPanels(f);
    ASSERT_TRUE(f.SD.Iniciado());
    ASSERT_TRUE(f.WC.Iniciado());
    Walker w;
    w.Walk(f);
    // The catalogue's entries were there to measure.
    EXPECT_GT(w.measured, 150);
    EXPECT_TRUE(w.found.empty()) << w.found.size() << " texts do not fit:\n" << Report(w.found);
    // Manhole types and the short material names show whole in their fields;
    // only long catalogue names (pavements, "Ferro Fundido") are shortened.
    for (const std::string& s : w.shortened) {
        EXPECT_EQ(s.find("DesPVcbo"), std::string::npos) << s;
        EXPECT_EQ(s.find("Cerâmico"), std::string::npos) << s;
        EXPECT_EQ(s.find("Concreto\""), std::string::npos) << s;
    }

    // Texts the panels show as the user goes: the help of the water nodes'
    // buttons, the name of the building type chosen.
    Walker later;
    user::ChooseTab(f.SSIniciar, 2);
    f.WC.SetInterface(2);
    user::ChooseTab(f.WC.SSLumbra, 1);
    for (CommandButton* b : {&f.WC.NODLerDesenhoCmd, &f.WC.NODNumeraCmd, &f.WC.NODScaleCmd})
        later.MeasureAfter(f.WC.NODLbl, [b] { user::Hover(*b); });
    user::ChooseTab(f.SSIniciar, 4);
    user::ChooseTab(f.TD.SSTopo, 0);
    for (int i = 0; i < 6; ++i) later.MeasureAfter(f.TD.CADlbl2, [&f, i] { user::Click(f.TD.Im(i)); });
    EXPECT_EQ(later.measured, 9);
    EXPECT_TRUE(later.found.empty()) << later.found.size() << " texts do not fit:\n" << Report(later.found);
    Unload(f);
}

TEST_F(TextFit, TheDialogsShowEveryTextWhole)
{
    shelltest::ModalAnswers answers;
    // The catalogue's lists of the correction dialogs come with the panels.
    Form1 main;
    StartPanels(main);
    Walker w;
    WalkForm<frmMsgBox>(w);
    WalkForm<frmInput>(w);
    WalkForm<frmTips>(w);
    WalkForm<frmCancelar>(w);
    WalkForm<frmPointInfo>(w);
    WalkForm<frmAbrirDir>(w);
    WalkForm<frmCalcCotaPT>(w);
    WalkForm<frmTable>(w);
    WalkForm<frmEditPV>(w);
    for (const char* objetivo : {"Etapa", "Material", "Pavimento", "Diametro", "Contribuicao"})
        WalkForm<frmEditList>(w, [objetivo](frmEditList& f) { f.SetObjetivo(objetivo); });
    for (int tipo : {6, 7, 11}) WalkForm<frmEditTR>(w, [tipo](frmEditTR& f) { f.SetErrType(tipo); });
    WalkForm<frmWATTubo>(w, [](frmWATTubo& f) {
        f.Frame1(1).SetVisible(true);
        f.SetlCaption("DN100");
    });
    EXPECT_GT(w.measured, 80);
    EXPECT_TRUE(w.found.empty()) << w.found.size() << " texts do not fit:\n" << Report(w.found);
    Unload(main);
}
