// An icon resource: a group (RT_GROUP_ICON) that lists the images of one icon in several
// sizes, each image a separate RT_ICON resource named by number.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "win32/Export.h"

namespace vesk::res {

/// One image of an icon, as the group describes it, with the bytes of its RT_ICON resource
/// (a DIB whose height counts the colour rows and the mask rows, or a PNG stream).
struct IconImage {
    int width = 0;        ///< pixels (a 0 in the directory means 256)
    int height = 0;
    int bitCount = 0;
    unsigned imageId = 0; ///< the RT_ICON resource this image comes from
    std::vector<unsigned char> data;
};

/// A decoded icon: its images in directory order.
struct IconGroup {
    std::vector<IconImage> images;
};

/// Finds the bytes of RT_ICON resource `id`; false when there is none.
using IconImageLookup = std::function<bool(unsigned id, const unsigned char*& data, size_t& size)>;

/// Decodes the bytes of one RT_GROUP_ICON resource, taking each image's bytes from `images`.
/// Returns nothing (with a reason in `error` when given) for a malformed directory or an
/// image that is missing.
VESK_EXPORT std::optional<IconGroup> decodeIconGroup(const unsigned char* data, size_t size,
                                                     const IconImageLookup& images, std::string* error);

}  // namespace vesk::res
