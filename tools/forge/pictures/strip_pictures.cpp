#include "forge/pictures/strip_pictures.h"

namespace forge {

Image makeShadedStripPicture(const Image::Shader& shader, int samples) {
    Image image(stripPictureSize, stripPictureSize);
    image.shade(shader, samples);
    return image;
}

} // namespace forge
