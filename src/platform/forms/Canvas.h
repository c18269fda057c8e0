#pragma once
// VB's drawing methods of forms, user controls and picture boxes. Drawings
// are kept (as with AutoRedraw) until Cls; coordinates are in the object's
// scale (ScaleMode, ScaleLeft/Top/Width/Height), pen widths in pixels.

#include <memory>
#include <optional>
#include <string>

#include "platform/forms/Picture.h"
#include "platform/forms/Types.h"

namespace forms {

namespace detail {
struct CanvasData;
}

// The "B" and "BF" flags of the Line method.
inline constexpr int vbLineOnly = 0;
inline constexpr int vbLineBox = 1;
inline constexpr int vbLineBoxFilled = 2;

class Canvas {
public:
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    virtual ~Canvas();

    // Clears the drawings (the background colour and Picture stay) and puts
    // CurrentX/CurrentY at the top-left corner.
    void Cls();
    // Line (x1, y1)-(x2, y2), color, B|BF. A box is filled with FillColor by
    // FillStyle, with BF in the line's colour. CurrentX/Y end at (x2, y2).
    void Line(double x1, double y1, double x2, double y2, std::optional<long> color = {}, int box = vbLineOnly);
    // Line -(x2, y2): from CurrentX/CurrentY.
    void LineTo(double x2, double y2, std::optional<long> color = {}, int box = vbLineOnly);
    // Circle (x, y), radius, color, start, end, aspect. Angles in radians
    // counter-clockwise from 3 o'clock; a negative angle also draws the radius
    // to that end (a pie). The radius is along x (along y when aspect > 1).
    void Circle(double x, double y, double radius, std::optional<long> color = {}, std::optional<double> start = {},
                std::optional<double> end = {}, double aspect = 1.0);
    void PSet(double x, double y, std::optional<long> color = {});
    // The colour shown at (x, y), -1 outside the object.
    long Point(double x, double y) const;
    // Prints at CurrentX/CurrentY with the object's font and ForeColor; with
    // newLine, CurrentX returns to ScaleLeft and CurrentY moves one line down,
    // else CurrentX moves past the text (VB's trailing ";").
    void Print(const std::string& text, bool newLine = true);
    double TextWidth(const std::string& text) const;
    double TextHeight(const std::string& text) const;
    // Copies the picture (or its part x2, y2, width2, height2) to (x1, y1),
    // stretched to width1 x height1 when given. All in this object's scale.
    void PaintPicture(const forms::Picture& picture, double x1, double y1, std::optional<double> width1 = {},
                      std::optional<double> height1 = {}, std::optional<double> x2 = {}, std::optional<double> y2 = {},
                      std::optional<double> width2 = {}, std::optional<double> height2 = {}, long opcode = vbSrcCopy);

    double CurrentX() const;
    void SetCurrentX(double v);
    double CurrentY() const;
    void SetCurrentY(double v);
    int DrawWidth() const;
    void SetDrawWidth(int pixels);
    int DrawStyle() const;
    void SetDrawStyle(int style);
    int FillStyle() const;
    void SetFillStyle(int style);
    long FillColor() const;
    void SetFillColor(long color);
    bool FontTransparent() const;
    void SetFontTransparent(bool v);
    // Kept for VB's sake: drawings persist either way. Without AutoRedraw the
    // Paint event is raised whenever the object is repainted.
    bool AutoRedraw() const;
    void SetAutoRedraw(bool v);

    int ScaleMode() const;
    void SetScaleMode(int mode);
    double ScaleLeft() const;
    void SetScaleLeft(double v);
    double ScaleTop() const;
    void SetScaleTop(double v);
    double ScaleWidth() const;  // the inside width in the object's scale
    void SetScaleWidth(double v);
    double ScaleHeight() const;
    void SetScaleHeight(double v);
    // Scale (x1, y1)-(x2, y2); without arguments back to twips.
    void Scale(double x1, double y1, double x2, double y2);
    void Scale();

    // The picture shown: background colour, Picture and the drawings.
    forms::Picture Image() const;

    detail::CanvasData& CanvasImpl() const { return *cv_; }

protected:
    Canvas();
    std::unique_ptr<detail::CanvasData> cv_;
};

}  // namespace forms
