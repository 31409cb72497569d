#include "about/jpeg_decoder.h"

// jpeglib.h needs FILE and size_t declared before it.
#include <jpeglib.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <new>

namespace foliotally {
namespace {

// libjpeg's default error handler prints and calls exit(). Ours records the message and
// jumps back to the decoding call; warnings (corrupt or missing data, which libjpeg would
// otherwise paper over with grey) are recorded too and make the decode fail at the end.
struct ErrorManager {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
  char fatal[JMSG_LENGTH_MAX];
  char firstWarning[JMSG_LENGTH_MAX];
};

// Everything the jumping part of the decoder touches lives here, in the caller's frame, so
// that nothing of it is a local of the function that calls setjmp.
struct DecodeState {
  jpeg_decompress_struct info;
  ErrorManager errors;
  const std::uint8_t* data;
  unsigned long size;
  std::uint64_t maxPixels;
  DecodedPicture* out;
};

[[noreturn]] void OnFatalError(j_common_ptr info) {
  auto* errors = reinterpret_cast<ErrorManager*>(info->err);
  (*info->err->format_message)(info, errors->fatal);
  std::longjmp(errors->jump, 1);
}

void OnMessage(j_common_ptr info, int level) {
  if (level >= 0) return;  // trace messages: of no interest
  auto* errors = reinterpret_cast<ErrorManager*>(info->err);
  if (errors->pub.num_warnings++ == 0) (*info->err->format_message)(info, errors->firstWarning);
}

void SetFatal(DecodeState* state, const char* message) {
  std::snprintf(state->errors.fatal, sizeof state->errors.fatal, "%s", message);
}

// Returns true when the picture was decoded without error or warning. The only C++ objects
// it changes (the output vector) belong to the caller, so a longjmp out of libjpeg skips no
// destructor.
bool DecodeWithJump(DecodeState* state) {
  state->info.err = jpeg_std_error(&state->errors.pub);
  state->errors.pub.error_exit = OnFatalError;
  state->errors.pub.emit_message = OnMessage;
  state->errors.fatal[0] = '\0';
  state->errors.firstWarning[0] = '\0';
  if (setjmp(state->errors.jump) != 0) {
    jpeg_destroy_decompress(&state->info);
    return false;
  }
  jpeg_create_decompress(&state->info);
  jpeg_mem_src(&state->info, state->data, state->size);
  jpeg_read_header(&state->info, TRUE);

  const std::uint64_t pixels =
      std::uint64_t{state->info.image_width} * std::uint64_t{state->info.image_height};
  if (pixels == 0 || pixels > state->maxPixels) {
    SetFatal(state, "Picture dimensions out of range");
    jpeg_destroy_decompress(&state->info);
    return false;
  }
  state->info.out_color_space = JCS_RGB;
  jpeg_start_decompress(&state->info);
  if (state->info.output_components != 3) {
    SetFatal(state, "Unsupported colour layout");
    jpeg_destroy_decompress(&state->info);
    return false;
  }

  const std::size_t stride = std::size_t{state->info.output_width} * 3;
  try {
    state->out->rgb.resize(stride * state->info.output_height);
  } catch (const std::bad_alloc&) {
    SetFatal(state, "Not enough memory for the picture");
    jpeg_destroy_decompress(&state->info);
    return false;
  }
  state->out->width = static_cast<int>(state->info.output_width);
  state->out->height = static_cast<int>(state->info.output_height);

  while (state->info.output_scanline < state->info.output_height) {
    JSAMPROW row = state->out->rgb.data() + stride * state->info.output_scanline;
    if (jpeg_read_scanlines(&state->info, &row, 1) != 1) {
      // A memory source never suspends; no progress means the data ran out.
      SetFatal(state, "Picture data ended early");
      jpeg_destroy_decompress(&state->info);
      return false;
    }
  }
  jpeg_finish_decompress(&state->info);
  const bool clean = state->errors.pub.num_warnings == 0;
  jpeg_destroy_decompress(&state->info);
  return clean;
}

}  // namespace

JpegDecodeResult DecodeJpeg(std::span<const std::uint8_t> bytes, std::uint64_t max_pixels) {
  JpegDecodeResult result;
  if (bytes.empty()) {
    result.error = "No picture data";
    return result;
  }
  if (bytes.size() > static_cast<std::size_t>(static_cast<unsigned long>(-1))) {
    result.error = "Picture data too large";
    return result;
  }
  DecodedPicture picture;
  DecodeState state{};
  state.data = bytes.data();
  state.size = static_cast<unsigned long>(bytes.size());
  state.maxPixels = max_pixels;
  state.out = &picture;
  if (DecodeWithJump(&state)) {
    result.picture = std::move(picture);
  } else if (state.errors.fatal[0] != '\0') {
    result.error = state.errors.fatal;
  } else {
    result.error = state.errors.firstWarning;
  }
  return result;
}

}  // namespace foliotally
