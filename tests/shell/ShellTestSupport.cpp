#include "ShellTestSupport.h"

#include <cstdlib>

namespace shelltest {

void UseProgramPictures()
{
    const char* bin = std::getenv("QUORIL_BIN_DIR");
    forms::SetResourcePictureFolder(std::string(bin ? bin : ".") + "/pictures");
}

ModalAnswers::ModalAnswers()
    : driver_([this](forms::Form& f) {
          shown_.push_back(f.Name());
          auto it = answers_.find(f.Name());
          if (it == answers_.end() || it->second.empty()) return;
          auto answer = std::move(it->second.front());
          it->second.erase(it->second.begin());
          answer(f);
      })
{
}

ModalAnswers& ModalAnswers::On(const std::string& formName, std::function<void(forms::Form&)> answer)
{
    answers_[formName].push_back(std::move(answer));
    return *this;
}

int ModalAnswers::Count(const std::string& formName) const
{
    int n = 0;
    for (const auto& s : shown_)
        if (s == formName) ++n;
    return n;
}

forms::Picture SolidPicture(int w, int h, long color)
{
    forms::Form canvas("frmCanvas");
    auto& box = canvas.Add<forms::PictureBox>("Box");
    box.SetBorderStyle(0);
    box.SetScaleMode(forms::vbPixels);
    box.Move(0, 0, w * 15.0, h * 15.0);
    box.SetBackColor(color);
    box.Line(0, 0, w, h, color, forms::vbLineBoxFilled);
    return box.Image();
}

}  // namespace shelltest
