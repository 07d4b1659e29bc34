// set-output-edid FILE [OUTPUT]: puts the bytes of FILE on every output of
// the X server in DISPLAY, or on the one named OUTPUT, as its RandR property
// "EDID", as a real display driver does, for the Wine tests on an X server;
// xrandr --set cannot create the property. A native Linux program, built by
// those tests. Exit 1 when the file, the server or the output cannot be used.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

int main(int argc, char** argv) {
  if (argc != 2 && argc != 3) {
    std::fprintf(stderr, "usage: set-output-edid FILE [OUTPUT]\n");
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
  const char* wanted = argc == 3 ? argv[2] : nullptr;
  int outputs = 0;
  Atom name = XInternAtom(display, "EDID", False);
  for (int i = 0; resources != nullptr && i < resources->noutput; ++i) {
    if (wanted != nullptr) {
      XRROutputInfo* info = XRRGetOutputInfo(display, resources, resources->outputs[i]);
      bool named = info != nullptr && std::strcmp(info->name, wanted) == 0;
      if (info != nullptr) XRRFreeOutputInfo(info);
      if (!named) continue;
    }
    XRRChangeOutputProperty(display, resources->outputs[i], name, XA_INTEGER, 8, PropModeReplace,
                            edid.data(), static_cast<int>(edid.size()));
    ++outputs;
  }
  if (resources != nullptr) XRRFreeScreenResources(resources);
  // XCloseDisplay waits for the server's answers; Xlib's handler ends the
  // program with exit code 1 on an error among them.
  XCloseDisplay(display);
  if (outputs == 0) std::fprintf(stderr, "set-output-edid: the server has no such output\n");
  return outputs == 0 ? 1 : 0;
}
