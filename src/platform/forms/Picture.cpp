// Pictures from files and from the program's resource picture folder.

#include <QDir>
#include <QFileInfo>
#include <QImageReader>

#include <filesystem>

#include "platform/forms/Application.h"
#include "platform/forms/Private.h"
#include "platform/ProcessState.h"

namespace forms {

using namespace detail;

Picture::Picture() = default;
Picture::Picture(std::shared_ptr<const PictureData> d) : d_(std::move(d)) {}

bool Picture::Empty() const { return !d_ || d_->image.isNull(); }
double Picture::Width() const { return Empty() ? 0 : Tw(d_->image.width()); }
double Picture::Height() const { return Empty() ? 0 : Tw(d_->image.height()); }

long Picture::Pixel(int x, int y) const
{
    if (Empty() || !d_->image.valid(x, y)) return -1;
    const QColor c = d_->image.pixelColor(x, y);
    return c.alpha() == 0 ? -1 : FromQColor(c);
}

namespace detail {

Picture MakePicture(QImage image)
{
    if (image.isNull()) return Picture();
    auto d = std::make_shared<PictureData>();
    d->image = std::move(image);
    return Picture(std::move(d));
}

const QImage* ImageOf(const Picture& p) { return p.Empty() ? nullptr : &p.Impl()->image; }

}  // namespace detail

namespace {

std::string& FolderSetting()
{
    static auto* folder = new std::string;
    return *folder;
}
const platform::ProcessStateReset kResetFolder([] { FolderSetting().clear(); });

QImage Read(const QString& path)
{
    QImageReader reader(path);
    reader.setAutoTransform(false);
    QImage img = reader.read();
    if (img.isNull()) return img;
    return img.convertToFormat(img.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
}

}  // namespace

Picture LoadPicture(const std::string& path)
{
    if (path.empty()) return Picture();
    EnsureApplication();
    const QString p = Q(path);
    if (!QFileInfo(p).isFile()) Fail(53, "File not found: " + path);
    QImage img = Read(p);
    if (img.isNull()) Fail(481, "Invalid picture: " + path);
    return MakePicture(std::move(img));
}

std::string ResourcePictureFolder()
{
    if (!FolderSetting().empty()) return FolderSetting();
    return (std::filesystem::path(App.Path()) / "pictures").string();
}

void SetResourcePictureFolder(const std::string& folder) { FolderSetting() = folder; }

Picture LoadResPicture(const std::string& name, int kind)
{
    EnsureApplication();
    const QDir dir(Q(ResourcePictureFolder()));
    const QStringList exts = kind == vbResIcon ? QStringList{"ico", "png", "bmp", "gif", "jpg"}
                                               : QStringList{"png", "bmp", "ico", "gif", "jpg"};
    const QString base = Q(name);
    for (const QString& ext : exts) {
        const QString exact = dir.filePath(base + "." + ext);
        if (QFileInfo(exact).isFile()) {
            QImage img = Read(exact);
            if (img.isNull()) Fail(481, "Invalid picture: resource " + name + " (" + U(exact) + ")");
            return MakePicture(std::move(img));
        }
    }
    // Resource names ignore letter case.
    for (const QString& ext : exts)
        for (const QFileInfo& f : dir.entryInfoList(QDir::Files))
            if (f.completeBaseName().compare(base, Qt::CaseInsensitive) == 0 &&
                f.suffix().compare(ext, Qt::CaseInsensitive) == 0) {
                QImage img = Read(f.filePath());
                if (img.isNull()) Fail(481, "Invalid picture: resource " + name + " (" + U(f.filePath()) + ")");
                return MakePicture(std::move(img));
            }
    Fail(326, "Resource with identifier '" + name + "' not found in " + ResourcePictureFolder());
}

Picture LoadResPicture(int id, int kind) { return LoadResPicture(std::to_string(id), kind); }

}  // namespace forms
