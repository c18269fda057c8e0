#pragma once
// A picture box: a container, a drawing surface (Canvas) and a holder of a
// picture, shown unscaled from its top-left corner.

#include "platform/forms/Canvas.h"
#include "platform/forms/Control.h"
#include "platform/forms/Picture.h"

namespace forms {

class PictureBox : public Control, public Container, public Canvas {
public:
    explicit PictureBox(Init init);
    ~PictureBox() override;

    // Setting Picture clears the drawings.
    forms::Picture Picture() const;
    void SetPicture(const forms::Picture& picture);
    bool AutoSize() const;  // the box takes its picture's size
    void SetAutoSize(bool v);
    int BorderStyle() const;  // 0 none, 1 fixed single (the default)
    void SetBorderStyle(int style);
    int Appearance() const;  // 0 flat, 1 3D (the default)
    void SetAppearance(int a);

    // Paint: repainted (without AutoRedraw). Resize: size changed.
    platform::Event<> Paint;
    platform::Event<> Resize;
};

}  // namespace forms
