// Arbitrary bytes as model files in a model directory, at file level as the model editor meets them: the
// directory listed through the editor's file lists (the SPICE and the Touchstone/"pls" extensions, also a
// file named from the input), then every listed file resolved, its ports counted, its header read and its
// subcircuits scanned through the mapped file reader. No crash, no read outside the files.
//
// Input: byte 0 chooses the extension of the main file; up to the first zero byte (at most 24 bytes) a second
// file's name; the rest is the content of both files.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "brimstead/models/DecouplingModelsHelper.h"
#include "brimstead/models/SpiceScanner.h"
#include "brimstead/models/SpiceSubcircuitList.h"
#include "brimstead/models/editor/ModelFileList.h"
#include "brimstead/models/mapfile.h"
#include "platform/base/tests/TempDir.h"
#include "platform/framework/CListBox.h"

namespace {

const std::string& Directory() {
  static const TempDir folder("model-files-fuzz");   // removed when the run ends
  static const std::string dir = folder.Path().string() + "/";
  return dir;
}

CListBox& List() {
  static CListBox* list = [] {
    auto* l = new CListBox;
    if (!l->Create(WS_POPUP | LBS_SORT | LBS_HASSTRINGS, CRect(0, 0, 120, 200), nullptr, 1)) std::abort();
    return l;
  }();
  return *list;
}

void Write(const std::string& path, const std::uint8_t* data, std::size_t size) {
  if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
    std::fwrite(data, 1, size, f);
    std::fclose(f);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1 || size > 1 << 16) return 0;
  static const char* const kExtensions[] = {".s1p", ".s2p", ".s4p", ".pls", ".sp", ".cir", ".S2P", ".snp"};
  const std::string& dir = Directory();
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(dir, ec)) std::filesystem::remove(entry.path(), ec);

  std::size_t at = 1;
  std::string second;
  while (at < size && data[at] && second.size() < 24) {
    const char c = static_cast<char>(data[at++]);
    second += (c == '/') ? '_' : c;
  }
  if (at < size && !data[at]) ++at;
  const std::uint8_t* content = data + at;
  const std::size_t contentSize = size - at;
  Write(dir + "model" + kExtensions[data[0] % 8], content, contentSize);
  if (!second.empty() && second != "." && second != "..") Write(dir + second, content, contentSize);

  CStringArray directories;
  directories.Add(dir.c_str());
  GetDecouplingModelsHelper()->SetModelDirectories({CString(dir.c_str())});
  for (const char* extensions : {"sp cir", "s1p s2p s3p s4p pls"}) {
    CListBox& list = List();
    list.ResetContent();
    CStringArray paths;
    ListModelDirectoryFiles(directories, extensions, list, paths);
    for (int i = 0; i < list.GetCount(); ++i) {
      CString name;
      list.GetText(i, name);
      const INT_PTR index = static_cast<INT_PTR>(list.GetItemData(i));
      if (index < 0 || index >= paths.GetSize()) std::abort();  // every entry names one of the paths
      const CString resolved = ResolveModelFile(name);
      // A listed file is found again by its name. A name the code page cannot spell is listed with '?' in place
      // of what it lacks, as the classic listing does, and may name no file.
      if (resolved.IsEmpty() && name.Find('?') < 0) std::abort();
      if (CountTouchstonePorts(name) < 0 || ReadHeaderPortCount(name) < 0) std::abort();
      CSpiceScanner scanner;
      CSpiceSubcircuitList subcircuits;
      try {
        scanner.Scan(paths[index], subcircuits);
      } catch (const vorntool::mapfile::MapExcept&) {
        // an unreadable or empty file is refused by the reader
      }
    }
  }
  return 0;
}
