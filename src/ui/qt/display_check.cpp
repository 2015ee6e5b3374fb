#include "ui/qt/display_check.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <string>

namespace vellora {

namespace {

// Connects to the local socket `path` (a leading '@' names an abstract one).
bool SocketAnswers(const std::string& path) {
  sockaddr_un address{};
  if (path.empty() || path.size() >= sizeof address.sun_path) return false;
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path, path.data(), path.size());
  if (path[0] == '@') address.sun_path[0] = '\0';
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  const socklen_t length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + path.size());
  const bool ok = connect(fd, reinterpret_cast<const sockaddr*>(&address), length) == 0;
  close(fd);
  return ok;
}

bool WaylandAnswers(const char* name) {
  if (name == nullptr || *name == '\0') return false;
  if (name[0] == '/') return SocketAnswers(name);
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  return runtime != nullptr && SocketAnswers(std::string(runtime) + "/" + name);
}

// ":N", ":N.S" and "unix:N" are local servers with a socket per number.
bool X11Answers(const char* display) {
  if (display == nullptr || *display == '\0') return false;
  std::string text = display;
  if (text.compare(0, 5, "unix:") == 0) text.erase(0, 4);
  if (text[0] != ':') return true;  // another host: left to the toolkit
  const std::string number = text.substr(1, text.find('.') - 1);
  if (number.empty() || number.find_first_not_of("0123456789") != std::string::npos) return false;
  const std::string socket = "/tmp/.X11-unix/X" + number;
  return SocketAnswers(socket) || SocketAnswers("@" + socket);
}

}  // namespace

bool DisplayReachable() {
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  if (platform != nullptr && *platform != '\0' && std::strncmp(platform, "xcb", 3) != 0 &&
      std::strncmp(platform, "wayland", 7) != 0) {
    return true;
  }
  return WaylandAnswers(std::getenv("WAYLAND_DISPLAY")) || X11Answers(std::getenv("DISPLAY"));
}

}  // namespace vellora
