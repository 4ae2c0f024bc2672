// The colour a window shows at a point of it, as the X server holds it:
//   realwindow-pixel WINDOW-ID X Y   prints rrggbb (hex), for a window of
// depth 24 (Xvfb's screen). For checks of what a program painted that no
// property tells, such as a marked row of a list.
#include <cstdio>
#include <cstdlib>
#include <xcb/xcb.h>

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fputs("usage: realwindow-pixel WINDOW-ID X Y\n", stderr);
    return 2;
  }
  const auto window = static_cast<xcb_window_t>(std::strtoul(argv[1], nullptr, 0));
  const auto x = static_cast<int16_t>(std::atoi(argv[2]));
  const auto y = static_cast<int16_t>(std::atoi(argv[3]));
  xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
  if (xcb_connection_has_error(connection)) {
    std::fputs("realwindow-pixel: no X display\n", stderr);
    return 2;
  }
  xcb_get_image_reply_t* image = xcb_get_image_reply(
      connection, xcb_get_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, window, x, y, 1, 1, ~0u), nullptr);
  if (image == nullptr || image->depth != 24 || xcb_get_image_data_length(image) < 3) {
    std::fprintf(stderr, "realwindow-pixel: cannot read window %s at %d,%d\n", argv[1], x, y);
    return 1;
  }
  // Z pixmap of depth 24 on a little-endian server: blue, green, red, pad.
  const uint8_t* bgr = xcb_get_image_data(image);
  std::printf("%02x%02x%02x\n", bgr[2], bgr[1], bgr[0]);
  std::free(image);
  xcb_disconnect(connection);
  return 0;
}
