#include "sway_session.h"

#include <dirent.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

namespace desktop_test {
namespace {

const char kUnprivilegedUser[] = "spirals-saver";

// The first name in `folder` that starts with `prefix` and does not end with `unwanted`.
std::string FindEntry(const std::string& folder, const std::string& prefix,
                      const std::string& unwanted) {
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return "";
  std::string found;
  while (dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    const bool endsUnwanted =
        name.size() >= unwanted.size() &&
        name.compare(name.size() - unwanted.size(), unwanted.size(), unwanted) == 0;
    if (name.rfind(prefix, 0) == 0 && !endsUnwanted) {
      found = folder + "/" + name;
      break;
    }
  }
  closedir(dir);
  return found;
}

}  // namespace

SwaySession::~SwaySession() {
  sway_.Kill();
  if (!folder_.empty()) Run({"rm", "-rf", folder_});
}

bool SwaySession::Start(int width, int height, std::string* error, int scale) {
  if (access("/usr/bin/sway", X_OK) != 0) {
    *error = "sway is not installed: run scripts/setup";
    return false;
  }
  folder_ = MakeTempFolder();
  std::vector<std::string> argv;
  if (getuid() == 0) {
    const passwd* user = getpwnam(kUnprivilegedUser);
    if (user == nullptr) {
      *error = std::string("sway does not run as root, and there is no user ") + kUnprivilegedUser +
               " to run it as: run scripts/setup";
      return false;
    }
    if (chown(folder_.c_str(), user->pw_uid, user->pw_gid) != 0) {
      *error = "cannot hand " + folder_ + " to " + kUnprivilegedUser;
      return false;
    }
    argv = {"setpriv", "--reuid=" + std::to_string(user->pw_uid),
            "--regid=" + std::to_string(user->pw_gid), "--clear-groups", "--"};
  }
  chmod(folder_.c_str(), 0700);
  const std::string config = folder_ + "/config";
  std::ofstream(config) << "xwayland disable\noutput HEADLESS-1 mode " << width << "x" << height
                        << " scale " << scale << "\n";
  chmod(config.c_str(), 0644);
  // Its own environment: no display of the caller's, the runtime folder made above.
  argv.insert(argv.end(),
              {"env", "-i", "PATH=/usr/bin:/bin", "HOME=" + folder_, "XDG_RUNTIME_DIR=" + folder_,
               "WLR_BACKENDS=headless", "WLR_RENDERER=pixman", "WLR_LIBINPUT_NO_DEVICES=1", "sway",
               "-c", config});
  const std::string log = folder_ + "/sway.log";
  if (!sway_.Start(argv, {}, log)) {
    *error = "cannot start sway";
    return false;
  }
  const bool up = WaitUntil(
      [&] {
        display_ = FindEntry(folder_, "wayland-", ".lock");
        ipc_ = FindEntry(folder_, "sway-ipc.", ".lock");
        return (!display_.empty() && !ipc_.empty()) || !sway_.Running();
      },
      20000);
  if (!up || display_.empty() || ipc_.empty() || Message({"-t", "get_version"}) != 0) {
    *error = "sway did not start: " + ReadFile(log);
    return false;
  }
  return true;
}

int SwaySession::Message(const std::vector<std::string>& arguments, std::string* out) const {
  std::vector<std::string> argv = {"swaymsg", "-s", ipc_};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  return Run(argv, out, 10000);
}

int SwaySession::Client(const std::vector<std::string>& command, std::string* out) const {
  std::vector<std::string> argv = {"env", "WAYLAND_DISPLAY=" + display_};
  argv.insert(argv.end(), command.begin(), command.end());
  return Run(argv, out, 10000);
}

bool SwaySession::Screenshot(Image* image) const {
  std::string data;
  return Client({"grim", "-t", "ppm", "-"}, &data) == 0 && DecodePpm(data, image);
}

}  // namespace desktop_test
