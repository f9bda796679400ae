#include "platform/base/FileFaults.h"

#include <cerrno>
#include <mutex>
#include <utility>

namespace plat {
namespace {

struct Hook {
  std::mutex mutex;
  FileFaultHook hook;
};

Hook& TheHook() {
  static Hook hook;
  return hook;
}

std::string Trimmed(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

FileFaultHook SetFileFaultHook(FileFaultHook hook) {
  Hook& h = TheHook();
  std::lock_guard lock(h.mutex);
  return std::exchange(h.hook, std::move(hook));
}

int FileFault(FileStep step, const std::string& path) {
  FileFaultHook hook;
  {
    Hook& h = TheHook();
    std::lock_guard lock(h.mutex);
    hook = h.hook;
  }
  return hook ? hook(step, path) : 0;
}

bool FileFaultHookInstalled() noexcept {
  Hook& h = TheHook();
  std::lock_guard lock(h.mutex);
  return static_cast<bool>(h.hook);
}

FileFaultHook ReadOnlyFolderFaults(std::string folder) {
  folder = Trimmed(std::move(folder));
  return [folder](FileStep step, const std::string& path) {
    if (step == FileStep::CreateIn && Trimmed(path) == folder) return EACCES;
    if (step == FileStep::Remove && FolderOf(Trimmed(path)) == folder) return EACCES;
    return 0;
  };
}

FileFaultHook ReadOnlyFileFaults(std::string file) {
  file = Trimmed(std::move(file));
  return [file](FileStep step, const std::string& path) {
    return step == FileStep::Modify && Trimmed(path) == file ? EACCES : 0;
  };
}

FileFaultHook FullDiskFaults() {
  return [](FileStep step, const std::string&) { return step == FileStep::Write || step == FileStep::Reserve ? ENOSPC : 0; };
}

}  // namespace plat
