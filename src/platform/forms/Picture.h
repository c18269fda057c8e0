#pragma once
// Pictures: a value that forms, picture boxes, images, buttons and tabs show.

#include <memory>
#include <string>

namespace forms {

namespace detail {
struct PictureData;
}

class Picture {
public:
    Picture();  // the empty picture ("Nothing" / LoadPicture(""))
    bool Empty() const;
    explicit operator bool() const { return !Empty(); }

    // Size in twips (15 per pixel).
    double Width() const;
    double Height() const;

    // The VB colour (&H00BBGGRR) of one pixel; -1 outside the picture or for
    // a fully transparent pixel.
    long Pixel(int xPixel, int yPixel) const;

    // Same image (not only the same pixels).
    bool operator==(const Picture& o) const { return d_ == o.d_; }

    std::shared_ptr<const detail::PictureData> Impl() const { return d_; }
    explicit Picture(std::shared_ptr<const detail::PictureData> d);

private:
    std::shared_ptr<const detail::PictureData> d_;
};

// A picture from a BMP, PNG, ICO, GIF or JPEG file; the empty path gives the
// empty picture. Throws Error 53 when the file does not exist and 481 when it
// is not a picture.
Picture LoadPicture(const std::string& path);

// A picture of the program's own resources: the file <name>.png|.bmp|.ico|.gif|.jpg
// (the name as given, then in any letter case) in the resource picture folder.
// Numbered resources are looked up by their number as the name. Icons prefer
// .ico. Throws Error 326 when there is no such resource.
Picture LoadResPicture(const std::string& name, int kind);
Picture LoadResPicture(int id, int kind);

// The resource picture folder: <App.Path>/pictures unless set otherwise.
std::string ResourcePictureFolder();
void SetResourcePictureFolder(const std::string& folder);

}  // namespace forms
