#pragma once
// Values shared by every form and control: VB's named constants, colours,
// fonts and the error a failed property or method throws.

#include <stdexcept>
#include <string>

namespace forms {

// A property or method refused, with VB's error number where callers test it.
class Error : public std::runtime_error {
public:
    Error(int number, const std::string& description) : std::runtime_error(description), number_(number) {}
    int Number() const { return number_; }
    std::string Description() const { return what(); }

private:
    int number_;
};

// Colours are VB numbers: &H00BBGGRR, or a system colour &H800000nn.
inline constexpr long RGB(int red, int green, int blue)
{
    return static_cast<long>((red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16));
}

inline constexpr long vbBlack = 0x000000;
inline constexpr long vbRed = 0x0000FF;
inline constexpr long vbGreen = 0x00FF00;
inline constexpr long vbYellow = 0x00FFFF;
inline constexpr long vbBlue = 0xFF0000;
inline constexpr long vbMagenta = 0xFF00FF;
inline constexpr long vbCyan = 0xFFFF00;
inline constexpr long vbWhite = 0xFFFFFF;

inline constexpr long vbScrollBars = 0x80000000L;
inline constexpr long vbDesktop = 0x80000001L;
inline constexpr long vbActiveTitleBar = 0x80000002L;
inline constexpr long vbInactiveTitleBar = 0x80000003L;
inline constexpr long vbMenuBar = 0x80000004L;
inline constexpr long vbWindowBackground = 0x80000005L;
inline constexpr long vbWindowFrame = 0x80000006L;
inline constexpr long vbMenuText = 0x80000007L;
inline constexpr long vbWindowText = 0x80000008L;
inline constexpr long vbTitleBarText = 0x80000009L;
inline constexpr long vbActiveBorder = 0x8000000AL;
inline constexpr long vbInactiveBorder = 0x8000000BL;
inline constexpr long vbApplicationWorkspace = 0x8000000CL;
inline constexpr long vbHighlight = 0x8000000DL;
inline constexpr long vbHighlightText = 0x8000000EL;
inline constexpr long vbButtonFace = 0x8000000FL;
inline constexpr long vbButtonShadow = 0x80000010L;
inline constexpr long vbGrayText = 0x80000011L;
inline constexpr long vbButtonText = 0x80000012L;
inline constexpr long vbInactiveCaptionText = 0x80000013L;
inline constexpr long vb3DHighlight = 0x80000014L;
inline constexpr long vb3DDKShadow = 0x80000015L;
inline constexpr long vb3DLight = 0x80000016L;
inline constexpr long vbInfoText = 0x80000017L;
inline constexpr long vbInfoBackground = 0x80000018L;

// The colour a VB colour number shows on this machine, as &H00BBGGRR
// (system colours resolved through the current palette).
long ResolveColor(long color);

struct Font {
    std::string Name;  // empty: the forms' own narrow sans serif
    double Size = 8;   // points
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool Strikethrough = false;
    bool operator==(const Font&) const = default;
};

// Form.Show
inline constexpr int vbModeless = 0;
inline constexpr int vbModal = 1;

// Mouse buttons (Button argument) and shift state (Shift argument)
inline constexpr int vbLeftButton = 1;
inline constexpr int vbRightButton = 2;
inline constexpr int vbMiddleButton = 4;
inline constexpr int vbShiftMask = 1;
inline constexpr int vbCtrlMask = 2;
inline constexpr int vbAltMask = 4;

// MousePointer
inline constexpr int vbDefault = 0;
inline constexpr int vbArrow = 1;
inline constexpr int vbCrosshair = 2;
inline constexpr int vbIbeam = 3;
inline constexpr int vbIconPointer = 4;
inline constexpr int vbSizePointer = 5;
inline constexpr int vbSizeNESW = 6;
inline constexpr int vbSizeNS = 7;
inline constexpr int vbSizeNWSE = 8;
inline constexpr int vbSizeWE = 9;
inline constexpr int vbUpArrow = 10;
inline constexpr int vbHourglass = 11;
inline constexpr int vbNoDrop = 12;
inline constexpr int vbArrowHourglass = 13;
inline constexpr int vbArrowQuestion = 14;
inline constexpr int vbSizeAll = 15;

// KeyCode (KeyDown, KeyUp)
inline constexpr int vbKeyBack = 8;
inline constexpr int vbKeyTab = 9;
inline constexpr int vbKeyReturn = 13;
inline constexpr int vbKeyShift = 16;
inline constexpr int vbKeyControl = 17;
inline constexpr int vbKeyMenu = 18;
inline constexpr int vbKeyPause = 19;
inline constexpr int vbKeyCapital = 20;
inline constexpr int vbKeyEscape = 27;
inline constexpr int vbKeySpace = 32;
inline constexpr int vbKeyPageUp = 33;
inline constexpr int vbKeyPageDown = 34;
inline constexpr int vbKeyEnd = 35;
inline constexpr int vbKeyHome = 36;
inline constexpr int vbKeyLeft = 37;
inline constexpr int vbKeyUp = 38;
inline constexpr int vbKeyRight = 39;
inline constexpr int vbKeyDown = 40;
inline constexpr int vbKeyInsert = 45;
inline constexpr int vbKeyDelete = 46;
inline constexpr int vbKey0 = 48;  // vbKey0 + n for the digit n
inline constexpr int vbKeyA = 65;  // vbKeyA + n for the n-th letter
inline constexpr int vbKeyC = 67;
inline constexpr int vbKeyV = 86;
inline constexpr int vbKeyX = 88;
inline constexpr int vbKeyNumpad0 = 96;  // vbKeyNumpad0 + n
inline constexpr int vbKeyMultiply = 106;
inline constexpr int vbKeyAdd = 107;
inline constexpr int vbKeySubtract = 109;
inline constexpr int vbKeyDecimal = 110;
inline constexpr int vbKeyDivide = 111;
inline constexpr int vbKeyF1 = 112;  // vbKeyF1 + n - 1 for Fn

// Values of CheckBox.Value
inline constexpr int vbUnchecked = 0;
inline constexpr int vbChecked = 1;
inline constexpr int vbGrayed = 2;

// ZOrder
inline constexpr int vbBringToFront = 0;
inline constexpr int vbSendToBack = 1;

// WindowState
inline constexpr int vbNormal = 0;
inline constexpr int vbMinimized = 1;
inline constexpr int vbMaximized = 2;

// QueryUnload's UnloadMode
inline constexpr int vbFormControlMenu = 0;
inline constexpr int vbFormCode = 1;
inline constexpr int vbAppWindows = 2;
inline constexpr int vbFormOwner = 5;

// ScaleMode
inline constexpr int vbUser = 0;
inline constexpr int vbTwips = 1;
inline constexpr int vbPoints = 2;
inline constexpr int vbPixels = 3;
inline constexpr int vbCharacters = 4;
inline constexpr int vbInches = 5;
inline constexpr int vbMillimeters = 6;
inline constexpr int vbCentimeters = 7;

// FillStyle
inline constexpr int vbFSSolid = 0;
inline constexpr int vbFSTransparent = 1;
inline constexpr int vbHorizontalLine = 2;
inline constexpr int vbVerticalLine = 3;
inline constexpr int vbUpwardDiagonal = 4;
inline constexpr int vbDownwardDiagonal = 5;
inline constexpr int vbCross = 6;
inline constexpr int vbDiagonalCross = 7;

// DrawStyle and the BorderStyle of Shape and Line
inline constexpr int vbTransparent = 0;  // BorderStyle of Shape/Line only
inline constexpr int vbBSSolid = 1;
inline constexpr int vbBSDash = 2;
inline constexpr int vbBSDot = 3;
inline constexpr int vbBSDashDot = 4;
inline constexpr int vbBSDashDotDot = 5;
inline constexpr int vbBSInsideSolid = 6;
inline constexpr int vbSolid = 0;  // DrawStyle
inline constexpr int vbDash = 1;
inline constexpr int vbDot = 2;
inline constexpr int vbDashDot = 3;
inline constexpr int vbDashDotDot = 4;
inline constexpr int vbInvisible = 5;
inline constexpr int vbInsideSolid = 6;

// Shape.Shape
inline constexpr int vbShapeRectangle = 0;
inline constexpr int vbShapeSquare = 1;
inline constexpr int vbShapeOval = 2;
inline constexpr int vbShapeCircle = 3;
inline constexpr int vbShapeRoundedRectangle = 4;
inline constexpr int vbShapeRoundedSquare = 5;

// Alignment of Label and TextBox
inline constexpr int vbLeftJustify = 0;
inline constexpr int vbRightJustify = 1;
inline constexpr int vbCenter = 2;

// LoadResPicture kinds
inline constexpr int vbResBitmap = 0;
inline constexpr int vbResIcon = 1;
inline constexpr int vbResCursor = 2;

// PaintPicture raster operation (only the plain copy is drawn)
inline constexpr long vbSrcCopy = 0x00CC0020L;

// ComboBox.Style
inline constexpr int vbComboDropdown = 0;
inline constexpr int vbComboSimple = 1;
inline constexpr int vbComboDropdownList = 2;

// ListBox.MultiSelect
inline constexpr int vbMultiSelectNone = 0;
inline constexpr int vbMultiSelectSimple = 1;
inline constexpr int vbMultiSelectExtended = 2;

// TextBox.ScrollBars
inline constexpr int vbSBNone = 0;
inline constexpr int vbHorizontal = 1;
inline constexpr int vbVertical = 2;
inline constexpr int vbBoth = 3;

// FlexGrid.ColAlignment
inline constexpr int flexAlignLeftTop = 0;
inline constexpr int flexAlignLeftCenter = 1;
inline constexpr int flexAlignLeftBottom = 2;
inline constexpr int flexAlignCenterTop = 3;
inline constexpr int flexAlignCenterCenter = 4;
inline constexpr int flexAlignCenterBottom = 5;
inline constexpr int flexAlignRightTop = 6;
inline constexpr int flexAlignRightCenter = 7;
inline constexpr int flexAlignRightBottom = 8;
inline constexpr int flexAlignGeneral = 9;

}  // namespace forms
