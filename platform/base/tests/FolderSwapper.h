// Another user's hand in a folder every user may write: a thread that swaps two names there, again and again and
// atomically (a folder and a link to somewhere else), for as long as the object lives.
#pragma once

#include <fcntl.h>
#include <stdio.h>

#include <atomic>
#include <filesystem>
#include <thread>
#include <utility>

class FolderSwapper {
 public:
  FolderSwapper(std::filesystem::path a, std::filesystem::path b)
      : a_(std::move(a)), b_(std::move(b)), thread_([this] {
          while (swapping_) ::renameat2(AT_FDCWD, a_.c_str(), AT_FDCWD, b_.c_str(), RENAME_EXCHANGE);
        }) {}
  ~FolderSwapper() {
    swapping_ = false;
    thread_.join();
  }
  FolderSwapper(const FolderSwapper&) = delete;
  FolderSwapper& operator=(const FolderSwapper&) = delete;

 private:
  const std::filesystem::path a_, b_;
  std::atomic<bool> swapping_{true};
  std::thread thread_;
};
