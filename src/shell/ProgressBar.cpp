#include "shell/ProgressBar.h"

#include <cmath>

#include "platform/os/Ticks.h"

using namespace forms;

namespace {

constexpr double kBarraVazia = 15;  // twips

// VB's conversion to a whole number: to the nearest, halves to the even one.
long long ArredondaPar(double v)
{
    const double f = std::floor(v);
    const double d = v - f;
    long long r = static_cast<long long>(f);
    if (d > 0.5 || (d == 0.5 && (r % 2 != 0))) ++r;
    return r;
}

}  // namespace

ProgressBar::ProgressBar(Init init) : UserControl(std::move(init))
{
    Move(0, 0, 3015, 255);
    ProgressPic.Move(0, 0, 3015, 255);
    ProgressPic.SetBorderStyle(0);
    ProgressPic.SetBackColor(vbWindowBackground);
    ProgressFrm.Move(0, 0, kBarraVazia, 255);
    ProgressFrm.SetBorderStyle(0);
    ProgressFrm.SetBackColor(RGB(0, 0, 128));
    ProgressLbl.AddElement(1, ProgressFrm);
    ProgressLbl(0).Move(0, 0, 3015, 255);
    ProgressLbl(0).SetAlignment(vbCenter);
    ProgressLbl(0).SetBackStyle(0);
    ProgressLbl(0).SetForeColor(vbBlack);
    ProgressLbl(1).Move(0, 0, 3015, 255);
    ProgressLbl(1).SetAlignment(vbCenter);
    ProgressLbl(1).SetBackStyle(0);
    ProgressLbl(1).SetForeColor(vbWhite);
    relogio_ = [] { return os::TickCount(); };

    KeepSettings(kSettings);
    ReadProperties += [this](PropertyBag&) { MostraTexto(caption_); };
    Resize += [this] { UserControl_Resize(); };
}

void ProgressBar::Progress_Start(long long Max, const std::string& Caption)
{
    curValue_ = 0;
    caption_ = Caption;
    MostraTexto(Caption);
    ProgressFrm.SetWidth(kBarraVazia);
    maximo_ = Max;
    larguraPixels_ = ArredondaPar(Width() / Screen.TwipsPerPixelX()) - 1;
    // A control too narrow to draw on redraws at every step (a zero step).
    passo_ = larguraPixels_ > 0 ? ArredondaPar(static_cast<double>(Max) / static_cast<double>(larguraPixels_)) : 0;
    proximoLimite_ = passo_;
    ticksInicio_ = relogio_();
    if (enabledTimer_) TimerMsg.Raise("");
}

void ProgressBar::Progress()
{
    ++curValue_;
    Redesenha();
}

void ProgressBar::Redesenha()
{
    if (curValue_ < proximoLimite_) return;
    proximoLimite_ += passo_;
    // A run of no steps has nothing to measure: the bar stays cleared.
    if (maximo_ <= 0) return;

    ProgressFrm.SetWidth(
        std::max(0.0, ProgressPic.Width() * static_cast<double>(curValue_) / static_cast<double>(maximo_)));
    if (caption_.empty()) {
        const double pct = std::floor(static_cast<double>(curValue_) * 100.0 / static_cast<double>(maximo_));
        ProgressLbl(0).SetCaption(std::to_string(static_cast<long long>(pct)) + "%");
        ProgressLbl(1).SetCaption(ProgressLbl(0).Caption());
    }
    ProgressLbl(0).Refresh();
    ProgressLbl(1).Refresh();

    if (!enabledTimer_ || curValue_ <= 0) return;
    const double decorrido = static_cast<double>(relogio_() - ticksInicio_);
    const double porPasso = decorrido / static_cast<double>(curValue_);
    const double restante = static_cast<double>(maximo_ - curValue_) * porPasso;
    // Whole minutes, then the whole seconds left over, both cut (not rounded);
    // taken from the milliseconds so that 99 000 ms is 1 min. 39 s., not 38.
    const long long m = static_cast<long long>(std::trunc(restante / 60000.0));
    const long long s =
        static_cast<long long>(std::trunc(std::fabs(restante - static_cast<double>(m) * 60000.0) / 1000.0));
    if (s == ultimosSegundos_) return;
    TimerMsg.Raise(std::to_string(m) + " min. e " + std::to_string(s) + " seg.");
    ultimosSegundos_ = s;
}

void ProgressBar::SetCaption(const std::string& Caption)
{
    caption_ = Caption;
    MostraTexto(Caption);
    ProgressLbl(0).Refresh();
    ProgressLbl(1).Refresh();
    PropertyChanged("Caption");
}

void ProgressBar::SetEnabledTimer(bool v)
{
    enabledTimer_ = v;
    PropertyChanged("EnabledTimer");
}

void ProgressBar::MostraTexto(const std::string& texto)
{
    ProgressLbl(0).SetCaption(texto);
    ProgressLbl(1).SetCaption(texto);
}

// The caption read back is shown at once.
const forms::Settings<ProgressBar> ProgressBar::kSettings = {
    {"Caption", &ProgressBar::caption_, ""},
    {"EnabledTimer", &ProgressBar::enabledTimer_, false},
};

// The track and both labels fill the control; the bar keeps its width.
void ProgressBar::UserControl_Resize()
{
    const double W = Width(), H = Height();
    ProgressPic.Move(0, 0, W, H);
    ProgressFrm.SetHeight(H);
    ProgressLbl(0).Move(0, 0, W, H);
    ProgressLbl(1).Move(0, 0, W, H);
}
