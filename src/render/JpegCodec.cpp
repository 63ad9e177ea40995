#include "render/JpegCodec.h"

// libjpeg's header needs the standard definitions first.
#include <jpeglib.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>

#include "engine/Format.h"
#include "engine/Strings.h"

namespace {
// libjpeg reports fatal errors through a callback that must not return; it jumps back
// to the call that started the work. Only plain data lives in the frames it jumps over.
struct ErrorHandler {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
    const char* function = "my_error_exit";
    char message[JMSG_LENGTH_MAX] = {};
    char warning[JMSG_LENGTH_MAX] = {};
};

[[noreturn]] void errorExit(j_common_ptr info) {
    auto* handler = reinterpret_cast<ErrorHandler*>(info->err);
    (*info->err->format_message)(info, handler->message);
    std::longjmp(handler->jump, 1);
}

// Warnings about damaged data go to the caller's log instead of the standard error.
void outputMessage(j_common_ptr info) {
    auto* handler = reinterpret_cast<ErrorHandler*>(info->err);
    if (!handler->warning[0]) (*info->err->format_message)(info, handler->warning);
}

void installHandler(ErrorHandler& handler) {
    jpeg_std_error(&handler.manager);
    handler.manager.error_exit = errorExit;
    handler.manager.output_message = outputMessage;
}

// The memory source: the whole file is there from the start, so libjpeg has no reason
// to ask for more unless the file ends early.
void initSource(j_decompress_ptr) {}
void termSource(j_decompress_ptr) {}

boolean fillInputBuffer(j_decompress_ptr info) {
    auto* handler = reinterpret_cast<ErrorHandler*>(info->err);
    handler->function = "kb_fill_input_buffer";
    std::snprintf(handler->message, sizeof handler->message, "%s", "Should not ever be called.");
    std::longjmp(handler->jump, 1);
}

// A skip past the end would move the read position outside the file: clamp it.
void skipInputData(j_decompress_ptr info, long count) {
    if (count <= 0) return;
    jpeg_source_mgr* source = info->src;
    const std::size_t skip = static_cast<std::size_t>(count) < source->bytes_in_buffer ? static_cast<std::size_t>(count)
                                                                                       : source->bytes_in_buffer;
    source->next_input_byte += skip;
    source->bytes_in_buffer -= skip;
}

struct Decoder {
    jpeg_decompress_struct info;
    jpeg_source_mgr source;
    ErrorHandler handler;
};

void setUpSource(Decoder& d, const std::uint8_t* data, std::size_t size) {
    d.source.next_input_byte = data;
    d.source.bytes_in_buffer = size;
    d.source.init_source = initSource;
    d.source.fill_input_buffer = fillInputBuffer;
    d.source.skip_input_data = skipInputData;
    d.source.resync_to_restart = jpeg_resync_to_restart;
    d.source.term_source = termSource;
    d.info.src = &d.source;
}

bool refuse(DecodedImage& out, const char* function, std::u16string message) {
    out.errorFunction = function;
    out.error = std::move(message);
    out.pixels.reset();
    return false;
}

// Only colour pictures are decoded: greyscale is not implemented, and CMYK or other
// component counts are refused before any pixel is made.
bool checkComponents(const Decoder& d, DecodedImage& out) {
    if (d.info.num_components == 1) return refuse(out, "MemoryImageFile::loadJPG", u"Not implemented.");
    if (d.info.num_components != 3 || (d.info.jpeg_color_space != JCS_YCbCr && d.info.jpeg_color_space != JCS_RGB))
        return refuse(out, "MemoryImageFile::loadJPG",
                      formatString(u"JPEG images with %d colour components are not supported.", d.info.num_components));
    return true;
}

// Reads the scanlines straight into out.pixels (allocated here): libjpeg writes blue,
// green, red and an opaque alpha, which is the pixel layout itself.
bool readPixels(Decoder& d, DecodedImage& out) {
    if (!checkComponents(d, out)) return false;
    d.info.out_color_space = JCS_EXT_BGRA;
    jpeg_start_decompress(&d.info);
    out.pixels = std::make_unique_for_overwrite<UColor[]>(static_cast<std::size_t>(out.width) * out.height);
    auto* const pixels = reinterpret_cast<JSAMPLE*>(out.pixels.get());
    const std::size_t rowBytes = static_cast<std::size_t>(out.width) * 4;
    while (d.info.output_scanline < d.info.output_height) {
        JSAMPROW row = pixels + d.info.output_scanline * rowBytes;
        jpeg_read_scanlines(&d.info, &row, 1);
    }
    jpeg_finish_decompress(&d.info);
    return true;
}

// The part of decoding that libjpeg may jump out of. `d` and `out` live in the caller.
bool runDecoder(Decoder& d, const std::uint8_t* data, std::size_t size, bool sizeOnly, DecodedImage& out) {
    if (setjmp(d.handler.jump)) {
        jpeg_destroy_decompress(&d.info);
        return refuse(out, d.handler.function, utf8ToWide(d.handler.message));
    }
    jpeg_create_decompress(&d.info);
    setUpSource(d, data, size);
    jpeg_read_header(&d.info, TRUE);
    out.width = static_cast<std::int32_t>(d.info.image_width);
    out.height = static_cast<std::int32_t>(d.info.image_height);
    out.bHasAlpha = 0;
    bool ok = true;
    if (!DecodedImage::isAcceptableSize(d.info.image_width, d.info.image_height))
        ok = refuse(out, "MemoryImageFile::loadJPG",
                    formatString(u"JPEG size %ux%u is out of range.", d.info.image_width, d.info.image_height));
    else if (!sizeOnly)
        ok = readPixels(d, out);
    jpeg_destroy_decompress(&d.info);
    return ok;
}
}  // namespace

bool JpegCodec::decode(const std::uint8_t* data, std::size_t size, bool sizeOnly, DecodedImage& out) {
    auto decoder = std::make_unique<Decoder>();
    Decoder& d = *decoder;
    std::memset(&d.info, 0, sizeof d.info);
    installHandler(d.handler);
    d.info.err = &d.handler.manager;
    const bool ok = runDecoder(d, data, size, sizeOnly, out);
    if (d.handler.warning[0]) out.warning = utf8ToWide(d.handler.warning);
    return ok;
}

namespace {
// The memory destination: the compressed bytes grow a vector that the caller owns, so
// nothing is lost or freed twice when libjpeg jumps out half-way.
struct Destination {
    jpeg_destination_mgr manager;
    std::vector<std::uint8_t>* bytes = nullptr;
};

constexpr std::size_t kFirstBlock = 64 * 1024;

void initDestination(j_compress_ptr info) {
    auto* d = reinterpret_cast<Destination*>(info->dest);
    d->bytes->resize(kFirstBlock);
    d->manager.next_output_byte = d->bytes->data();
    d->manager.free_in_buffer = d->bytes->size();
}

boolean emptyOutputBuffer(j_compress_ptr info) {
    // libjpeg calls this only when the whole buffer is full.
    auto* d = reinterpret_cast<Destination*>(info->dest);
    const std::size_t used = d->bytes->size();
    d->bytes->resize(used * 2);
    d->manager.next_output_byte = d->bytes->data() + used;
    d->manager.free_in_buffer = d->bytes->size() - used;
    return TRUE;
}

void termDestination(j_compress_ptr info) {
    auto* d = reinterpret_cast<Destination*>(info->dest);
    d->bytes->resize(d->bytes->size() - d->manager.free_in_buffer);
}

struct Encoder {
    jpeg_compress_struct info;
    Destination destination;
    ErrorHandler handler;
};

void writeScanlines(Encoder& e, const UColor* pixels, std::vector<JSAMPLE>& row) {
    while (e.info.next_scanline < e.info.image_height) {
        const UColor* source = pixels + static_cast<std::size_t>(e.info.next_scanline) * e.info.image_width;
        for (JDIMENSION x = 0; x < e.info.image_width; ++x) {
            row[x * 3] = static_cast<JSAMPLE>(source[x] >> 16);
            row[x * 3 + 1] = static_cast<JSAMPLE>(source[x] >> 8);
            row[x * 3 + 2] = static_cast<JSAMPLE>(source[x]);
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&e.info, rows, 1);
    }
}

// The part of encoding that libjpeg may jump out of; `row` is sized by the caller.
bool runEncoder(Encoder& e, std::int32_t width, std::int32_t height, const UColor* pixels, int quality,
                std::vector<JSAMPLE>& row) {
    if (setjmp(e.handler.jump)) {
        jpeg_destroy_compress(&e.info);
        return false;
    }
    jpeg_create_compress(&e.info);
    e.destination.manager.init_destination = initDestination;
    e.destination.manager.empty_output_buffer = emptyOutputBuffer;
    e.destination.manager.term_destination = termDestination;
    e.info.dest = &e.destination.manager;
    e.info.image_width = static_cast<JDIMENSION>(width);
    e.info.image_height = static_cast<JDIMENSION>(height);
    e.info.input_components = 3;
    e.info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&e.info);
    jpeg_set_quality(&e.info, quality, TRUE);
    jpeg_start_compress(&e.info, TRUE);
    writeScanlines(e, pixels, row);
    jpeg_finish_compress(&e.info);
    jpeg_destroy_compress(&e.info);
    return true;
}
}  // namespace

bool JpegCodec::encode(std::int32_t width, std::int32_t height, const UColor* pixels, int quality,
                       std::vector<std::uint8_t>& bytes, std::u16string& error) {
    auto encoder = std::make_unique<Encoder>();
    Encoder& e = *encoder;
    std::memset(&e.info, 0, sizeof e.info);
    installHandler(e.handler);
    e.info.err = &e.handler.manager;
    e.destination.bytes = &bytes;
    std::vector<JSAMPLE> row(static_cast<std::size_t>(width > 0 ? width : 1) * 3);
    if (runEncoder(e, width, height, pixels, quality, row)) return true;
    bytes.clear();
    error = utf8ToWide(e.handler.message);
    return false;
}
