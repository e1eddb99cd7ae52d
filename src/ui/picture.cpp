#include "ui/picture.h"

#include <windows.h>

namespace ui {

Control::CreateParams Picture::GetCreateParams() const {
    return OwnClass(L"OrvoPicture");
}

const Image& Picture::GetImage() const {
    if (source_) {
        image_ = source_();
        source_ = nullptr;
    }
    return image_;
}

void Picture::SetImage(Image image) {
    source_ = nullptr;
    image_ = std::move(image);
    FitToImage();
    Invalidate();
}

void Picture::SetImageSource(std::function<Image()> source) {
    image_ = Image();
    source_ = std::move(source);
    FitToImage();
    Invalidate();
}

void Picture::SetStretch(bool on) {
    SetAndRepaint(stretch_, on);
}

void Picture::SetTransparent(bool on) {
    SetAndRepaint(transparent_, on);
}

void Picture::SetAutoSize(bool on) {
    auto_size_ = on;
    FitToImage();
}

void Picture::FitToImage() {
    if (!auto_size_ || GetImage().Empty()) return;
    const Rect b = Bounds();
    SetBounds(Rect::FromBounds(b.left, b.top, image_.Width(), image_.Height()));
}

void Picture::PaintContent(Painter& painter) {
    if (GetImage().Empty()) return;
    const Size size = ClientSize();
    const Rect dest = stretch_ ? Rect{0, 0, size.width, size.height}
                               : Rect::FromBounds(0, 0, image_.Width(), image_.Height());
    image_.Draw(painter.Dc(), dest, transparent_);
}

} // namespace ui
