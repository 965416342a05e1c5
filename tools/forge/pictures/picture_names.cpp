#include "forge/pictures/picture_names.h"

namespace forge {

const std::vector<std::string>& pictureFileNames() {
    static const std::vector<std::string> names = {
        "p0.jpg",   "spiral.jpg", "viiva.jpg",    "env.jpg",  "yla0.jpg", "yla1.jpg",
        "yla2.jpg", "yla3.jpg",   "yla4.jpg",     "yla5.jpg", "ala0.jpg", "ala1.jpg",
        "ala2.jpg", "ala3.jpg",   "kuvaseos.jpg", "ilo.jpg",  "sumu.jpg"};
    return names;
}

} // namespace forge
