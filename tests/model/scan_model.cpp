#include "scan_model.h"

namespace {

// The resource block as the scanner sees it: the data, then slack bytes that are all zero.
unsigned char byte_at(const unsigned char* data, std::int64_t size, std::int64_t index) {
    return index >= 0 && index < size ? data[index] : 0;
}

bool has_text_at(const unsigned char* data, std::int64_t size, std::int64_t index,
                 const char* text) {
    for (std::int64_t i = 0; i < 4; ++i) {
        if (byte_at(data, size, index + i) != static_cast<unsigned char>(text[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool model_image_at(const unsigned char* data, std::int64_t size, std::int64_t offset,
                    found_image& image) {
    if (!has_text_at(data, size, offset, "RIFF")) {
        return false;
    }
    sound_kind kind = sound_kind::wave;
    if (has_text_at(data, size, offset + 8, "WAVE")) {
        kind = sound_kind::wave;
    } else if (has_text_at(data, size, offset + 8, "MIDS")) {
        kind = sound_kind::midi_stream;
    } else {
        return false;
    }
    std::int64_t size_field = 0;
    for (std::int64_t i = 3; i >= 0; --i) {
        size_field = size_field * 256 + byte_at(data, size, offset + 4 + i);
    }
    const std::int64_t length = size_field + 8;
    const std::int64_t present = size - offset;
    image.offset = offset;
    image.length = length < present ? length : present;
    image.kind = kind;
    return true;
}

bool model_next_image(const unsigned char* data, std::int64_t size, std::int64_t from,
                      found_image& image) {
    for (std::int64_t offset = from < 0 ? 0 : from; offset < size - 4; ++offset) {
        if (model_image_at(data, size, offset, image)) {
            return true;
        }
    }
    return false;
}

std::vector<found_image> model_scan(const unsigned char* data, std::int64_t size) {
    std::vector<found_image> images;
    std::int64_t offset = 0;
    while (offset < size - 4) {
        found_image image;
        if (!model_image_at(data, size, offset, image)) {
            ++offset;
            continue;
        }
        images.push_back(image);
        // A cut-off image reaches the end of the data, so the loop ends with it.
        offset += image.length;
    }
    return images;
}

bool operator==(const found_image& a, const found_image& b) {
    return a.offset == b.offset && a.length == b.length && a.kind == b.kind;
}

std::ostream& operator<<(std::ostream& out, const found_image& image) {
    return out << "{offset " << image.offset << ", " << image.length << " bytes, "
               << (image.kind == sound_kind::wave ? "wave" : "midi stream") << "}";
}
