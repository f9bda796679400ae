// Files that a reader must refuse with a reason, made in a folder as a user's folder may hold them: a FIFO, a
// socket, a device (a link to /dev/null), a file this process may not open and one whose reading fails. The last
// two fail through the file layer's fault seam (root opens any file, and no disk fails on demand), which the
// object installs for its lifetime. Each kind comes with the reason every reader gives for it.
#pragma once

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/base/FileFaults.h"

class FileKinds {
 public:
  struct Kind {
    std::string name;    // "fifo<extension>" ...
    std::string reason;  // "The file is not a regular file (a FIFO, a device or a socket)." ...
  };

  // `text` is what the two regular files hold, so that a reader gets as far as their bytes.
  FileKinds(const std::filesystem::path& dir, const std::string& extension, const std::string& text)
      : faults_([dir, extension](plat::FileStep step, const std::string& path) {
          const auto is = [&](const char* name) {
            return std::filesystem::path(path).lexically_normal() == (dir / (name + extension)).lexically_normal();
          };
          if (step == plat::FileStep::Open && is("unreadable")) return EACCES;
          if (step == plat::FileStep::Read && is("failing")) return EIO;
          return 0;
        }) {
    const std::string notRegular = "The file is not a regular file (a FIFO, a device or a socket).";
    ::mkfifo((dir / ("fifo" + extension)).c_str(), 0600);
    MakeSocket(dir, "socket" + extension);
    std::filesystem::create_symlink("/dev/null", dir / ("device" + extension));
    for (const char* name : {"unreadable", "failing"}) std::ofstream(dir / (name + extension), std::ios::binary) << text;
    kinds_ = {{"fifo" + extension, notRegular},
              {"socket" + extension, notRegular},
              {"device" + extension, notRegular},
              {"unreadable" + extension, "Permission denied."},
              {"failing" + extension, "Input/output error."}};
  }
  FileKinds(const FileKinds&) = delete;
  FileKinds& operator=(const FileKinds&) = delete;

  const std::vector<Kind>& kinds() const { return kinds_; }

 private:
  // A socket file named `leaf` in `dir`, bound through the folder's descriptor: a socket's path is limited to
  // about a hundred bytes, which a test's folder may exceed. The file stays a socket once the socket is closed.
  static void MakeSocket(const std::filesystem::path& dir, const std::string& leaf) {
    const int folder = ::open(dir.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    const int sock = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "/proc/self/fd/%d/%s", folder, leaf.c_str());
    ::bind(sock, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    ::close(sock);
    ::close(folder);
  }

  plat::FileFaultScope faults_;
  std::vector<Kind> kinds_;
};
