#pragma once
// Texts: single-line text, attribute definitions and attribute references (which
// are single-line texts with a tag), and multi-line text.
//
// Position rule, as the host has it: with Alignment Left the insertion point
// places the text; with any other alignment the text alignment point does and
// the insertion point is derived from it (TextMetrics.h gives the extents rule).
// Changing Alignment keeps the stored alignment point, so callers that set the
// alignment point and then the alignment (or the other way round) both end with
// the text anchored at the alignment point they gave. New texts start with the
// alignment point equal to the insertion point, so a text whose alignment is set
// without an alignment point stays where it was put.

#include <utility>
#include <vector>

#include "platform/acad/Entity.h"
#include "platform/acad/EntityData.h"
#include "platform/acad/TextMetrics.h"

namespace acad {

struct MTextLayout;

class TextBase : public Entity {
public:
    std::string TextString() const;
    void SetTextString(const std::string& s);
    Point3d InsertionPoint() const;
    // With Left, Aligned or Fit the text moves to the point; with other
    // alignments the text moves by the same displacement.
    void SetInsertionPoint(const Point3d& p);
    Point3d TextAlignmentPoint() const;
    void SetTextAlignmentPoint(const Point3d& p);
    int Alignment() const;
    void SetAlignment(int alignment);  // 0..14, InvalidInput otherwise
    double Height() const;
    void SetHeight(double h);  // > 0
    double Rotation() const;
    void SetRotation(double r);
    double ScaleFactor() const;  // width factor
    void SetScaleFactor(double f);
    double ObliqueAngle() const;
    void SetObliqueAngle(double a);
    std::string StyleName() const;
    void SetStyleName(const std::string& name);  // the style must exist
    bool Backward() const;
    void SetBackward(bool b);
    bool UpsideDown() const;
    void SetUpsideDown(bool b);
    double Thickness() const;
    void SetThickness(double t);

    const TextData& Text() const { return text_; }
    void SetText(const TextData& d);
    // The four corners of the text's box in world coordinates (TextMetrics rule).
    void TextBoxCorners(Point3d corners[4]) const;

    void TransformBy(const Transform& t) override;
    void Emit(GeometrySink& sink, const Transform& t) const override;
    // The box of the text's corners, as Emit gives it without describing the text.
    Box Extents() const override;

protected:
    TextBase(acad::Document& doc, const TextData& data);
    // Recomputes the insertion point from the alignment point (alignment not Left).
    void DeriveInsertionPoint();
    void OnUpdate() override { DeriveInsertionPoint(); }
    // Emits `s` laid out as this text (attribute definitions show their tag).
    void EmitText(GeometrySink& sink, const Transform& t, std::string_view s) const;
    // The box EmitText gives for `s` as stored.
    Box TextExtents(std::string_view s) const;
    // Baseline frame of the text as drawn: left end of the baseline, unit reading
    // direction and unit up direction (backward / upside-down applied), width, height.
    void Frame(Point3d& origin, Vector3d& xAxis, Vector3d& yAxis, double& width, double& height,
               std::string_view s) const;
    // The underlines and overlines of `s` (`drawn`, its codes read), in the text's plane.
    void Strokes(std::string_view s, const TextMetrics::DrawnText& drawn,
                 std::vector<std::pair<Point3d, Point3d>>& out) const;
    TextData text_;
};

class Text : public TextBase {
public:
    Text(acad::Document& doc, const TextData& data);
    std::string ObjectName() const override { return "AcDbText"; }
    std::string DxfName() const override { return "TEXT"; }
    std::unique_ptr<Entity> CloneTo(acad::Document& target) const override;
};

// What attribute definitions and references share beyond the text.
class AttributeBase : public TextBase {
public:
    std::string TagString() const;
    void SetTagString(const std::string& tag);  // no spaces, not empty
    int Mode() const;
    void SetMode(int mode);
    bool Invisible() const;
    void SetInvisible(bool b);
    bool Constant() const;
    void SetConstant(bool b);
    bool Verify() const;
    void SetVerify(bool b);
    bool Preset() const;
    void SetPreset(bool b);
    bool LockPosition() const;
    void SetLockPosition(bool b);

    const AttributeData& Attribute() const { return attr_; }
    void SetAttribute(const AttributeData& d);
    void Emit(GeometrySink& sink, const Transform& t) const override;
    Box Extents() const override;

protected:
    AttributeBase(acad::Document& doc, const TextData& text, const AttributeData& attr);
    AttributeData attr_;
};

// Attribute definition inside a block definition (the automation's AcadAttribute).
// Its TextString is the default value given to new references.
class AttributeDefinition : public AttributeBase {
public:
    AttributeDefinition(acad::Document& doc, const TextData& text, const AttributeData& attr);
    std::string ObjectName() const override { return "AcDbAttributeDefinition"; }
    std::string DxfName() const override { return "ATTDEF"; }
    std::string PromptString() const;
    void SetPromptString(const std::string& s);
    std::unique_ptr<Entity> CloneTo(acad::Document& target) const override;
    // Attribute definitions are drawn as their tag when shown on their own.
    void Emit(GeometrySink& sink, const Transform& t) const override;
    Box Extents() const override;
};

// Attribute of a block reference; owned by the reference, in definition order.
class AttributeReference : public AttributeBase {
public:
    AttributeReference(acad::Document& doc, const TextData& text, const AttributeData& attr);
    std::string ObjectName() const override { return "AcDbAttribute"; }
    std::string DxfName() const override { return "ATTRIB"; }
    std::unique_ptr<Entity> CloneTo(acad::Document& target) const override;
    BlockReference* OwnerReference() const;
};

// Multi-line text: its string's format codes, paragraphs wrapped at the
// reference width, columns, and background fill and frame (MTextLayout.h).
class MText : public Entity {
public:
    MText(acad::Document& doc, const MTextData& data);
    std::string ObjectName() const override { return "AcDbMText"; }
    std::string DxfName() const override { return "MTEXT"; }

    std::string TextString() const;
    void SetTextString(const std::string& s);
    Point3d InsertionPoint() const;
    void SetInsertionPoint(const Point3d& p);
    double Height() const;
    void SetHeight(double h);
    double Width() const;
    void SetWidth(double w);
    double Rotation() const;
    void SetRotation(double r);
    int AttachmentPoint() const;
    void SetAttachmentPoint(int a);  // 1..9
    std::string StyleName() const;
    void SetStyleName(const std::string& name);

    const MTextData& Data() const { return data_; }
    void SetData(const MTextData& d);
    void TransformBy(const Transform& t) override;
    // The lines as the text's codes, width and columns lay them out (MTextLayout.h).
    MTextLayout Layout() const;
    // Emits the background fill, then the letters and the frame: what the window
    // draws in two colours, EmitBackground and EmitContent, one after the other.
    void Emit(GeometrySink& sink, const Transform& t) const override;
    // The fill behind the text (50 % past its box by default), in the colour
    // the text names (63 / 421) or the window's.
    bool HasBackgroundFill() const;
    void EmitBackground(GeometrySink& sink, const Transform& t) const;
    void EmitContent(GeometrySink& sink, const Transform& t) const;
    std::unique_ptr<Entity> CloneTo(acad::Document& target) const override;

private:
    void EmitBackground(GeometrySink& sink, const Transform& t, const MTextLayout& layout) const;
    void EmitContent(GeometrySink& sink, const Transform& t, const MTextLayout& layout) const;
    MTextData data_;
};

}  // namespace acad
