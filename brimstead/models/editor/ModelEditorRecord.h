// The capacitor model editor's model record: the header every kind shares and one data record per kind. The
// editor's panes read and write it; the model views hand it out to the host. The views share ownership of the
// record with their editor, so a view stays readable after its editor is gone and shows the editor's last state.
#pragma once

#include "brimstead/HostInterfaces.h"
#include "platform/base/CString.h"

#include <map>

// Port number (from 1, the row of the port map grid) -> name of the component pin assigned to that port. A port
// left "<not assigned>" has no entry.
using PortMap = std::map<int, CString>;

struct ModelHeader {
  int kind = HostModelCLR;
  bool libraryModel = false;   // a model of the host's model library
  CString libraryText;         // copied from the host and handed back unchanged
  CString modelName;           // the library model's name
  bool includesViaMounting = false;
};

struct ClrModelData {
  double capacitance = 1e-7;   // farads
  double esr = 0.025;          // ohms
  double esl = 3.3e-10;        // henries
};

struct SpiceModelData {
  CString fileName;            // bare file name, as the pane lists it
  CString subcircuitName;      // empty: the file's default subcircuit
  PortMap portMap;
};

// A Touchstone or "pls" model.
struct FileModelData {
  CString fileName;
  PortMap portMap;
  bool series = true;          // two-port measured in series (false: shunt); one-port models store false
};

struct ModelRecord {
  ModelHeader header;
  ClrModelData clr;
  SpiceModelData spice;
  FileModelData touchstone;
  FileModelData pls;

  // The file record of kind 2 (Touchstone) or 4 ("pls"); null for the other kinds.
  FileModelData* FileDataOf(int kind) {
    return kind == HostModelTouchstone ? &touchstone : kind == HostModelPLS ? &pls : nullptr;
  }
};
