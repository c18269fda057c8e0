#pragma once
// The progress bar of the panels: a growing bar with the percentage (or a
// fixed caption) and, when switched on, the remaining time told to the host
// through TimerMsg. It redraws only when the bar has grown by a pixel, so a
// loop of many thousand steps costs few redraws.
//
//     Progress1.Progress_Start(n, "Lendo objetos");
//     for (...) { ...; Progress1.Progress(); }
//     Progress1.Progress_Start(0, "");              // clears the bar

#include <functional>
#include <string>

#include "platform/Event.h"
#include "platform/forms/Forms.h"

class ProgressBar : public forms::UserControl {
public:
    explicit ProgressBar(Init init);

    // Starts a run of Max steps at 0 with the caption (empty: the percentage
    // is shown) and restarts the remaining-time estimate. Max 0 with an empty
    // caption clears the bar.
    void Progress_Start(long long Max, const std::string& Caption = "");
    // One step done.
    void Progress();

    long long CurValue() const { return curValue_; }
    // Sets the steps done without redrawing.
    void SetCurValue(long long v) { curValue_ = v; }
    std::string Caption() const { return caption_; }
    void SetCaption(const std::string& Caption);
    bool EnabledTimer() const { return enabledTimer_; }
    void SetEnabledTimer(bool v);

    // The remaining time ("2 min. e 5 seg."), and "" at the start of a run;
    // raised only while EnabledTimer is on.
    platform::Event<std::string> TimerMsg;

    // Where the estimate reads the time in milliseconds (the system's tick
    // count unless a test gives its own clock).
    void SetRelogio(std::function<long long()> relogio) { relogio_ = std::move(relogio); }

    forms::PictureBox& ProgressPic = Add<forms::PictureBox>("ProgressPic");
    // Element 0 lies over the track, element 1 inside the bar (placed there by
    // the constructor, once the bar exists): the same text in contrasting colours.
    forms::ControlArray<forms::Label>& ProgressLbl = AddArray<forms::Label>("ProgressLbl", {0}, ProgressPic);
    forms::Frame& ProgressFrm = Add<forms::Frame>("ProgressFrm", ProgressPic);

private:
    static const forms::Settings<ProgressBar> kSettings;
    void UserControl_Resize();
    void Redesenha();
    void MostraTexto(const std::string& texto);

    long long curValue_ = 0;
    long long maximo_ = 0;
    std::string caption_;
    bool enabledTimer_ = false;
    long long larguraPixels_ = 0;
    long long passo_ = 0;
    long long proximoLimite_ = 0;
    long long ticksInicio_ = 0;
    long long ultimosSegundos_ = 0;
    std::function<long long()> relogio_;
};
