// set-output-edid FILE: puts the bytes of FILE on every output of the X
// server in DISPLAY as its RandR property "EDID", as a real display driver
// does, for the Wine test on an X server; xrandr --set cannot create the
// property. A native Linux program, built by that test. Exit 1 when the
// file or the server cannot be used.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: set-output-edid FILE\n");
    return 1;
  }
  std::ifstream file(argv[1], std::ios::binary);
  std::vector<unsigned char> edid((std::istreambuf_iterator<char>(file)),
                                  std::istreambuf_iterator<char>());
  if (edid.empty()) {
    std::fprintf(stderr, "set-output-edid: %s: cannot be read or is empty\n", argv[1]);
    return 1;
  }
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    std::fprintf(stderr, "set-output-edid: cannot open the display\n");
    return 1;
  }
  XRRScreenResources* resources = XRRGetScreenResources(display, DefaultRootWindow(display));
  int outputs = resources == nullptr ? 0 : resources->noutput;
  Atom name = XInternAtom(display, "EDID", False);
  for (int i = 0; i < outputs; ++i)
    XRRChangeOutputProperty(display, resources->outputs[i], name, XA_INTEGER, 8, PropModeReplace,
                            edid.data(), static_cast<int>(edid.size()));
  if (resources != nullptr) XRRFreeScreenResources(resources);
  // XCloseDisplay waits for the server's answers; Xlib's handler ends the
  // program with exit code 1 on an error among them.
  XCloseDisplay(display);
  if (outputs == 0) std::fprintf(stderr, "set-output-edid: the server has no output\n");
  return outputs == 0 ? 1 : 0;
}
